#pragma once
// What closing the program would lose. The parameter set lives in three
// places: the program, the device and files. Offline every edit exists only
// in the program until it is saved; online every edit goes to the device at
// once, but the remark lines have no place there and live only in files.
// So the rule: offline, anything that differs from the set as last saved,
// loaded, made new or taken from the device; online, remark lines that
// differ from those last saved or loaded.

#include <string>
#include <vector>

#include "core/model/parameter_image.h"

namespace parvion {

class UnsavedChanges {
  public:
    // The whole set is kept: a file was saved or loaded, or a new set was
    // made (nothing anyone typed is in it yet).
    void saved(const ParameterImage& image);
    // The device holds the parameters (they were read from it or written
    // to it); the remark lines are kept no better than before.
    void deviceHolds(const ParameterImage& image);
    // True when closing now would lose something.
    bool pending(const ParameterImage& image, bool online) const;

  private:
    ParameterImage parameters_;  // without remark lines
    std::vector<std::string> remarks_;
};

}  // namespace parvion
