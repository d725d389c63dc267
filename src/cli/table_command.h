#pragma once
// parvion2-cli table read --kind KIND FILE | table write FILE: the property
// and saturation tables between the device and table files.

namespace parvion::cli {

class Context;

void RunTable(Context& ctx);

}  // namespace parvion::cli
