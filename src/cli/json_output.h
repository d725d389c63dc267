#pragma once
// The --json output of the commands that print data: one JSON object per
// run (schema "parvion2-cli/1", docs/cli.md). The objects are built from
// the same view builders and records as the text output; the values come
// as numbers in their base units with the unit named.

#include <string>
#include <vector>

#include "cli/json.h"
#include "core/edit/page_commands.h"
#include "core/edit/parameter_compare.h"
#include "core/link/doctor.h"
#include "core/model/device_time.h"
#include "core/views/circuit_values.h"
#include "core/views/trend_export.h"

namespace parvion::cli {

class Context;

namespace json_output {

inline constexpr const char* kSchema = "parvion2-cli/1";

// The head every document starts with: schema, command and language.
Json Document(Context& ctx, std::string_view command);
// The document on one line of standard output.
void Print(const Json& doc);

// The values a view builder formats, recorded so that a line's value can be
// given as a number next to the line's text: the formatter returns a marker
// that stands for the value in the line.
class ValueCapture {
  public:
    struct Value {
        std::uint8_t quantity;
        float value;
    };
    views::ValueFormatter formatter();
    // The text of the line before its first value (trimmed) and its values.
    struct Line {
        std::string label;
        std::vector<Value> values;
    };
    Line split(const std::string& line) const;

  private:
    std::vector<Value> values_;
};

// {"value": base value, "unit": base unit, "quantity": name}; unit and
// quantity null for quantity 255.
Json ValueObject(int medium, std::uint8_t quantity, float value);
// "temperature", "pressure", ... ("standard_flow" or "power" for quantity 3
// by the variant); empty for 255 and unknown quantities.
std::string QuantityName(int medium, std::uint8_t quantity);
// "YYYY-MM-DDThh:mm:ss", or null when the day or month is not valid.
Json IsoTime(const DeviceDateTime& t);
// The same from "DD.MM.YYYY hh:mm:ss" (the trend rows' times).
Json IsoTime(const std::string& dottedTime);

void PrintIdentify(Context& ctx, const std::string& program);
void PrintClock(Context& ctx);
void PrintLive(Context& ctx, const views::CircuitValuesInput& in);
void PrintDiff(Context& ctx, const std::vector<edit::ComparisonRow>& rows);
// diff --snapshot: the two sides as objects ({"source": "snapshot", "id": 3},
// {"source": "device", "port": ...}, {"source": "file", "file": ...}).
void PrintSnapshotDiff(Context& ctx, const std::vector<edit::ComparisonRow>& rows, Json left,
                       Json right);
void PrintErrors(Context& ctx);
void PrintIntegrators(Context& ctx, int circuits);
void PrintTrends(Context& ctx, const std::vector<views::TrendItem>& items);
// The page as `page NAME` prints it; `fromFile` for --file.
void PrintPage(Context& ctx, edit::PageName page, int circuit, bool fromFile);
void PrintDoctor(Context& ctx, const std::vector<doctor::PortReport>& reports);

}  // namespace json_output
}  // namespace parvion::cli
