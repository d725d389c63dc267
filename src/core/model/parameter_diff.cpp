#include "core/model/parameter_diff.h"

#include <optional>
#include <string_view>
#include <type_traits>

#include "core/model/parameter_walk.h"
#include "core/model/value_format.h"

namespace parvion {

namespace {

// Collects the text of every field the walk visits, as the file writer
// would write it. With presentOnly, records and keys that the expansion
// level leaves out of loading are skipped, as the reader skips them.
class Collector {
  public:
    Collector(std::vector<ParameterField>& out, bool presentOnly)
        : out_(out), presentOnly_(presentOnly) {}

    void section(std::string name) { section_ = std::move(name); }
    bool include(bool available) const { return !presentOnly_ || available; }

    template <class T>
    void integer(std::string_view key, const T& field, std::string_view /*def*/, bool available) {
        static_assert(std::is_integral_v<T>);
        if (!include(available)) return;
        out_.push_back({section_, std::string(key), std::to_string(static_cast<long long>(field))});
    }
    void real(std::string_view key, const float& field, std::string_view /*def*/,
              const std::optional<parameter_walk::Range>& /*range*/, bool available) {
        if (!include(available)) return;
        out_.push_back({section_, std::string(key), FormatFileFloat(field)});
    }

  private:
    std::vector<ParameterField>& out_;
    bool presentOnly_;
    std::string section_;
};

}  // namespace

std::vector<ParameterField> ListParameterFields(const ParameterImage& img, int medium,
                                                bool presentOnly) {
    std::vector<ParameterField> out;
    Collector collector(out, presentOnly);
    parameter_walk::VisitRecords(collector, img, medium);
    return out;
}

std::vector<ParameterDifference> DiffParameterImages(const ParameterImage& left,
                                                     const ParameterImage& right, int medium,
                                                     bool presentOnly) {
    // The right image is listed with the left one's expansion level, so that
    // both lists hold the same fields in the same order.
    ParameterImage rightAsLeft = right;
    rightAsLeft.System.Ausbaustufe = left.System.Ausbaustufe;
    const auto a = ListParameterFields(left, medium, presentOnly);
    const auto b = ListParameterFields(rightAsLeft, medium, presentOnly);
    std::vector<ParameterDifference> out;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i].value != b[i].value)
            out.push_back({a[i].section, a[i].key, a[i].value, b[i].value});
    }
    return out;
}

}  // namespace parvion
