#include "cli/json_output.h"

#include <cstdio>
#include <iostream>

#include "cli/context.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/model/variant.h"
#include "core/model/windows1252.h"
#include "core/views/about_lines.h"
#include "core/views/error_protocol_lines.h"
#include "core/views/integrator_lines.h"

namespace parvion::cli::json_output {

Json Document(Context& ctx, std::string_view command) {
    Json doc = Json::object();
    doc.set("schema", kSchema);
    doc.set("command", command);
    doc.set("language", ctx.session().Sprache == 1 ? "en" : "de");
    return doc;
}

void Print(const Json& doc) {
    std::cout << doc.dump() << '\n';
}

namespace {

// Marks a captured value in a line: kOpen, its index, kClose. Printable
// (the builders trim control characters) and in no string library.
constexpr std::string_view kOpen = "\u27E6";
constexpr std::string_view kClose = "\u27E7";

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The head of a document about a device: its port and variant.
Json DeviceDocument(Context& ctx, std::string_view command) {
    Json doc = Document(ctx, command);
    doc.set("port", ctx.portPath());
    doc.set("variant", std::string(VariantOf(ctx.medium()).name));
    return doc;
}

// One list line: its text, and, when it shows a value, the label before it
// and the value with its unit.
Json LineObject(int medium, const std::string& text, const ValueCapture::Line& captured) {
    Json line = Json::object();
    line.set("text", Trim(text));
    if (!captured.values.empty()) {
        const ValueCapture::Value& v = captured.values.front();
        line.set("label", captured.label);
        const Json value = ValueObject(medium, v.quantity, v.value);
        for (const char* key : {"value", "unit", "quantity"}) line.set(key, *value.find(key));
    }
    return line;
}

}  // namespace

views::ValueFormatter ValueCapture::formatter() {
    return [this](std::uint8_t quantity, bool, bool, float value) {
        values_.push_back({quantity, value});
        return std::string(kOpen) + std::to_string(values_.size() - 1) + std::string(kClose);
    };
}

ValueCapture::Line ValueCapture::split(const std::string& line) const {
    Line out;
    const std::size_t first = line.find(kOpen);
    out.label = Trim(line.substr(0, first));
    for (std::size_t at = first; at != std::string::npos; at = line.find(kOpen, at + 1)) {
        const std::size_t end = line.find(kClose, at);
        if (end == std::string::npos) break;
        const std::string digits = line.substr(at + kOpen.size(), end - at - kOpen.size());
        const std::size_t index = std::stoul(digits);
        if (index < values_.size()) out.values.push_back(values_[index]);
    }
    return out;
}

std::string QuantityName(int medium, std::uint8_t q) {
    const Variant& variant = VariantOf(medium);
    switch (q) {
        case quantity::Temperature:
            return "temperature";
        case quantity::Pressure:
            return "pressure";
        case quantity::Density:
            return "density";
        case quantity::Flow:
            return std::string(variant.flowName);
        case quantity::MassFlow:
            return "mass_flow";
        case quantity::Total:
            return std::string(variant.totalName);
        case quantity::Mass:
            return "mass";
        case quantity::VolumeFlow:
            return "volume_flow";
        case quantity::MeterFactor:
            return "meter_factor";
        case quantity::TemperatureCoefficient:
            return "temperature_coefficient";
        case quantity::CalorificValue:
            return "calorific_value";
        case quantity::Concentration:
            return "concentration";
        case quantity::HeatCapacity:
            return "heat_capacity";
        case quantity::TemperatureDifference:
            return "temperature_difference";
        case quantity::Frequency:
            return "frequency";
        case quantity::Current:
            return "current";
        default:
            return {};
    }
}

Json ValueObject(int medium, std::uint8_t q, float value) {
    Json v = Json::object();
    v.set("value", value);
    const std::string name = QuantityName(medium, q);
    if (name.empty()) {
        v.set("unit", nullptr);
        v.set("quantity", nullptr);
    } else {
        v.set("unit", Trim(std::string(BaseUnits(medium)[q].DisplayText)));
        v.set("quantity", name);
    }
    return v;
}

Json IsoTime(const DeviceDateTime& t) {
    if (t.day < 1 || t.day > 31 || t.month < 1 || t.month > 12) return nullptr;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02u", unsigned{t.year},
                  unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second});
    return std::string(buf);
}

Json IsoTime(const std::string& dotted) {
    unsigned day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(dotted.c_str(), "%u.%u.%u %u:%u:%u", &day, &month, &year, &hour, &minute,
                    &second) != 6) {
        return nullptr;
    }
    DeviceDateTime t;
    t.day = static_cast<std::uint16_t>(day);
    t.month = static_cast<std::uint16_t>(month);
    t.year = static_cast<std::uint16_t>(year);
    t.hour = static_cast<std::uint16_t>(hour);
    t.minute = static_cast<std::uint16_t>(minute);
    t.second = static_cast<std::uint16_t>(second);
    return IsoTime(t);
}

void PrintIdentify(Context& ctx, const std::string& program) {
    const DeviceState& dev = ctx.device();
    const SystemRec& sys = ctx.image().System;
    Json doc = DeviceDocument(ctx, "identify");
    doc.set("identity", Trim(dev.DeviceIdent));
    doc.set("program", Cp1252ToUtf8(Trim(program)));
    doc.set("serial_number", Cp1252ToUtf8(Trim(dev.DeviceSerialNo)));
    Json level = Json::object();
    level.set("code", unsigned{sys.Ausbaustufe});
    level.set("name", ctx.text(views::ExpansionLevelText(sys.Ausbaustufe)));
    doc.set("expansion_level", std::move(level));
    Json flags = Json::array();
    for (const std::uint8_t f : dev.DeviceAccess.Flags) flags.push(unsigned{f});
    doc.set("access_flags", std::move(flags));
    doc.set("password_protected", dev.DeviceAccess.isProtected());
    Print(doc);
}

void PrintClock(Context& ctx) {
    const DeviceDateTime& t = ctx.device().DeviceDateTime;
    Json doc = DeviceDocument(ctx, "clock");
    doc.set("clock", IsoTime(t));
    doc.set("text", FormatDeviceDateTime(t));
    doc.set("set", ctx.options().setClock);
    Print(doc);
}

void PrintLive(Context& ctx, const views::CircuitValuesInput& in) {
    ValueCapture capture;
    const auto text = views::BuildCircuitLines(in, ctx.blocks(), ctx.values());
    const auto captured = views::BuildCircuitLines(in, ctx.blocks(), capture.formatter());
    Json doc = DeviceDocument(ctx, "live");
    doc.set("circuit", in.circuit + 1);
    Json lines = Json::array();
    for (std::size_t i = 0; i < text.size() && i < captured.size(); ++i) {
        if (Trim(text[i]).empty()) continue;
        lines.push(LineObject(ctx.medium(), text[i], capture.split(captured[i])));
    }
    doc.set("lines", std::move(lines));
    Json hours = Json::object();
    hours.set("value", std::int64_t{in.values.OperatingTime});
    hours.set("unit", "s");
    doc.set("operating_time", std::move(hours));
    Json error = Json::object();
    error.set("number", in.errorNumber);
    error.set("bits", unsigned{in.errorBits});
    doc.set("error_state", std::move(error));
    Print(doc);
}

namespace {

Json DiffRows(const std::vector<edit::ComparisonRow>& rows, int medium, const char* leftKey,
              const char* rightKey) {
    Json list = Json::array();
    for (const edit::ComparisonRow& r : rows) {
        auto side = [&](const std::string& shown, float value) {
            Json v = r.quantity != kNoQuantity ? ValueObject(medium, r.quantity, value)
                                               : ValueObject(medium, kNoQuantity, 0);
            if (r.quantity == kNoQuantity) {
                // Choices, codes and counts: the number the file stores.
                const auto stored = ReadNumber(shown);
                v.set("value", stored ? Json(*stored) : Json(nullptr));
            }
            v.set("text", shown);
            return v;
        };
        Json row = Json::object();
        row.set("page", r.page);
        row.set("label", r.label);
        row.set("section", r.section);
        row.set("key", r.key);
        row.set(leftKey, side(r.left, r.leftValue));
        row.set(rightKey, side(r.right, r.rightValue));
        list.push(std::move(row));
    }
    return list;
}

}  // namespace

void PrintDiff(Context& ctx, const std::vector<edit::ComparisonRow>& rows) {
    Json doc = DeviceDocument(ctx, "diff");
    doc.set("file", ctx.options().args[0]);
    doc.set("count", rows.size());
    doc.set("differences", DiffRows(rows, ctx.medium(), "device", "file"));
    Print(doc);
}

void PrintSnapshotDiff(Context& ctx, const std::vector<edit::ComparisonRow>& rows, Json left,
                       Json right) {
    Json doc = Document(ctx, "diff");
    doc.set("variant", std::string(VariantOf(ctx.medium()).name));
    doc.set("left", std::move(left));
    doc.set("right", std::move(right));
    doc.set("count", rows.size());
    doc.set("differences", DiffRows(rows, ctx.medium(), "left", "right"));
    Print(doc);
}

void PrintErrors(Context& ctx) {
    const ErrorProtocolRec& protocol = ctx.device().ErrorProtocol;
    const SystemRec& system = ctx.image().System;
    const std::string active = ctx.text(17440);
    const std::string open = ctx.text(17441);
    const std::string arrow = ctx.text(17442);
    views::TextBlock names;
    names.fill({});
    const bool oneCircuit = system.Kind == 1 || system.Kind == 2;
    ctx.blocks()(oneCircuit ? 17424 : 17408, 1, names);
    const bool circuit2 = (system.Ausbaustufe & ausbaustufe::NoCircuit2) == 0;

    Json doc = DeviceDocument(ctx, "errors");
    Json groups = Json::array();
    for (std::size_t g = 0; g < ErrorProtocolRec::kGroups; ++g) {
        if (!circuit2 && views::IsCircuit2ErrorGroup(g)) continue;
        Json entries = Json::array();
        for (const std::size_t slot : views::ErrorEntryOrder(protocol, g)) {
            const ErrorEntry& e = protocol.Entry[g][slot];
            const std::string line = views::ErrorEntryLine(e, active, open, arrow);
            if (line.empty()) continue;
            Json entry = Json::object();
            entry.set("start", IsoTime(e.Start));
            entry.set("end", e.Active != 0 ? Json(nullptr) : IsoTime(e.End));
            entry.set("active", e.Active != 0);
            entry.set("acknowledged", e.Active == 0 && e.Second != 0);
            entry.set("text", Trim(line));
            entries.push(std::move(entry));
        }
        Json group = Json::object();
        group.set("group", g);
        group.set("name", Trim(names[g]));
        group.set("entries", std::move(entries));
        groups.push(std::move(group));
    }
    doc.set("groups", std::move(groups));
    if (ctx.options().saveFile) doc.set("saved", *ctx.options().saveFile);
    Print(doc);
}

void PrintIntegrators(Context& ctx, int circuits) {
    const IntegratorsRec& integrators = ctx.device().Integrators;
    const int medium = ctx.medium();
    Json doc = DeviceDocument(ctx, "integrators");
    Json list = Json::array();
    for (int c = 0; c < circuits; ++c) {
        Json records = Json::array();
        for (const IntegratorEntry& e : integrators.Entry[static_cast<std::size_t>(c)]) {
            if (e.empty()) continue;
            Json record = Json::object();
            record.set("time1", IsoTime(e.Time1));
            record.set("total", ValueObject(medium, quantity::Total, e.Value1));
            record.set("time2", IsoTime(e.Time2));
            record.set("mass", ValueObject(medium, quantity::Mass, e.Value2));
            records.push(std::move(record));
        }
        Json circuit = Json::object();
        circuit.set("circuit", c + 1);
        circuit.set("heading", ctx.text(static_cast<std::uint16_t>(30720 + c)));
        circuit.set("records", std::move(records));
        list.push(std::move(circuit));
    }
    doc.set("circuits", std::move(list));
    Print(doc);
}

void PrintTrends(Context& ctx, const std::vector<views::TrendItem>& items) {
    const TrendStore& store = ctx.device().TrendStore;
    const int medium = ctx.medium();
    Json doc = DeviceDocument(ctx, "trends");
    Json blocks = Json::array();
    for (const views::TrendItem& item : items) {
        const TrendBlock& b = store.Block[static_cast<std::size_t>(item.block)];
        ValueCapture capture;
        Json rows = Json::array();
        for (const views::TrendRow& row : views::TrendRows(b, capture.formatter())) {
            Json values = Json::array();
            for (std::size_t s = 1; s < row.size(); ++s) {
                for (const ValueCapture::Value& v : capture.split(row[s]).values) {
                    values.push(ValueObject(medium, v.quantity, v.value));
                }
            }
            Json r = Json::object();
            r.set("time", IsoTime(row[0]));
            r.set("values", std::move(values));
            rows.push(std::move(r));
        }
        Json block = Json::object();
        block.set("block", item.block);
        block.set("circuit", unsigned{b.Header.Circuit} + 1);
        const bool perSecond = b.Header.Interval == views::kTrendIntervalSeconds;
        Json interval = Json::object();
        interval.set("value", perSecond ? 1u : unsigned{b.Header.Interval} * 60u);
        interval.set("unit", "s");
        block.set("interval", std::move(interval));
        block.set("start", IsoTime(views::TrendBlockStart(b.Header)));
        block.set("text", Trim(item.text));
        block.set("rows", std::move(rows));
        blocks.push(std::move(block));
    }
    doc.set("blocks", std::move(blocks));
    if (ctx.options().exportFile) doc.set("exported", *ctx.options().exportFile);
    Print(doc);
}

void PrintPage(Context& ctx, edit::PageName page, int circuit, bool fromFile) {
    ValueCapture capture;
    const edit::PageTexts texts{ctx.blocks(), ctx.texts(), ctx.values()};
    const edit::PageTexts capturing{ctx.blocks(), ctx.texts(), capture.formatter()};
    const ParameterImage& image = ctx.image();
    const auto text = edit::PrintPage(page, image, ctx.medium(), circuit, texts);
    const auto captured = edit::PrintPage(page, image, ctx.medium(), circuit, capturing);

    Json doc = fromFile ? Document(ctx, "page") : DeviceDocument(ctx, "page");
    if (fromFile) {
        doc.set("file", *ctx.options().file);
        doc.set("variant", std::string(VariantOf(ctx.medium()).name));
    }
    doc.set("page", edit::PageNames()[static_cast<std::size_t>(page)]);
    if (page == edit::PageName::Circuit) doc.set("circuit", circuit + 1);
    Json lines = Json::array();
    for (std::size_t i = 0; i < text.size() && i < captured.size(); ++i) {
        // A line that `set` changes ends with "  [SECTION KEY]" or, for a
        // choice, "  [SECTION KEY 0..N]".
        std::string shown = text[i];
        std::string setting;
        std::string choices;
        const std::size_t open = shown.rfind("  [");
        if (open != std::string::npos && !shown.empty() && shown.back() == ']') {
            setting = shown.substr(open + 3, shown.size() - open - 4);
            shown.resize(open);
            const std::size_t range = setting.find("..");
            const std::size_t blank = setting.rfind(' ');
            if (range != std::string::npos && blank != std::string::npos && blank < range) {
                choices = setting.substr(blank + 1);
                setting.resize(blank);
            }
        }
        Json line = LineObject(ctx.medium(), shown, capture.split(captured[i]));
        if (!setting.empty()) line.set("setting", setting);
        if (!choices.empty()) line.set("choices", choices);
        lines.push(std::move(line));
    }
    doc.set("lines", std::move(lines));
    Print(doc);
}

void PrintDoctor(Context& ctx, const std::vector<doctor::PortReport>& reports) {
    const views::TextLoader text = ctx.texts();
    Json doc = Document(ctx, "doctor");
    Json ports = Json::array();
    bool answered = false;
    for (const doctor::PortReport& report : reports) {
        Json findings = Json::array();
        for (const doctor::Finding& f : report.findings) {
            static constexpr const char* kVerdicts[] = {"ok", "note", "warning", "failed"};
            Json finding = Json::object();
            finding.set("verdict", kVerdicts[static_cast<std::size_t>(f.verdict)]);
            finding.set("text", doctor::RenderFinding(f, text));
            findings.push(std::move(finding));
        }
        Json port = Json::object();
        port.set("path", report.path);
        port.set("findings", std::move(findings));
        port.set("answered", report.answered());
        port.set("baud", report.answered()
                             ? Json(kBaudRates[static_cast<std::size_t>(report.answeredBaudIndex)])
                             : Json(nullptr));
        port.set("identity", report.answered() ? Json(Trim(report.ident)) : Json(nullptr));
        ports.push(std::move(port));
        answered = answered || report.answered();
    }
    doc.set("ports", std::move(ports));
    doc.set("answered", answered);
    Print(doc);
}

}  // namespace parvion::cli::json_output
