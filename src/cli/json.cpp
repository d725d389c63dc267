#include "cli/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace parvion::cli {

namespace {

void WriteString(std::string& out, std::string_view s) {
    out += '"';
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", u);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

template <class T>
void WriteNumber(std::string& out, T x) {
    if (!std::isfinite(x)) {
        out += "null";
        return;
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    out.append(buf, r.ptr);
}

}  // namespace

Json& Json::set(std::string_view key, Json value) {
    if (!std::holds_alternative<Object>(value_)) value_ = Object{};
    Object& members = std::get<Object>(value_);
    for (auto& [k, v] : members) {
        if (k == key) {
            v = std::move(value);
            return *this;
        }
    }
    members.emplace_back(std::string(key), std::move(value));
    return *this;
}

Json& Json::push(Json value) {
    if (!std::holds_alternative<Array>(value_)) value_ = Array{};
    std::get<Array>(value_).push_back(std::move(value));
    return *this;
}

const Json* Json::find(std::string_view key) const {
    if (const auto* members = std::get_if<Object>(&value_)) {
        for (const auto& [k, v] : *members) {
            if (k == key) return &v;
        }
    }
    return nullptr;
}

std::string Json::dump() const {
    std::string out;
    write(out);
    return out;
}

void Json::write(std::string& out) const {
    if (std::holds_alternative<std::monostate>(value_)) {
        out += "null";
    } else if (const auto* b = std::get_if<bool>(&value_)) {
        out += *b ? "true" : "false";
    } else if (const auto* n = std::get_if<std::int64_t>(&value_)) {
        out += std::to_string(*n);
    } else if (const auto* f = std::get_if<float>(&value_)) {
        WriteNumber(out, *f);
    } else if (const auto* d = std::get_if<double>(&value_)) {
        WriteNumber(out, *d);
    } else if (const auto* s = std::get_if<std::string>(&value_)) {
        WriteString(out, *s);
    } else if (const auto* a = std::get_if<Array>(&value_)) {
        out += '[';
        for (std::size_t i = 0; i < a->size(); ++i) {
            if (i != 0) out += ',';
            (*a)[i].write(out);
        }
        out += ']';
    } else if (const auto* o = std::get_if<Object>(&value_)) {
        out += '{';
        bool first = true;
        for (const auto& [k, v] : *o) {
            if (!first) out += ',';
            first = false;
            WriteString(out, k);
            out += ':';
            v.write(out);
        }
        out += '}';
    }
}

}  // namespace parvion::cli
