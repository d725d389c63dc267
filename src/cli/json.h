#pragma once
// A JSON value for the command line's --json output: null, true/false,
// numbers, strings (UTF-8), arrays and objects whose keys keep the order
// they were set in. Written on one line.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace parvion::cli {

class Json {
  public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;

    Json() = default;  // null
    Json(std::nullptr_t) {}
    Json(bool b) : value_(b) {}
    Json(int n) : value_(static_cast<std::int64_t>(n)) {}
    Json(unsigned n) : value_(static_cast<std::int64_t>(n)) {}
    Json(std::int64_t n) : value_(n) {}
    Json(std::uint64_t n) : value_(static_cast<std::int64_t>(n)) {}
    // A single-precision value is written with the fewest digits that read
    // back to the same float (333.5, 0.1); a value that is not finite is null.
    Json(float x) : value_(x) {}
    Json(double x) : value_(x) {}
    Json(std::string s) : value_(std::move(s)) {}
    Json(std::string_view s) : value_(std::string(s)) {}
    Json(const char* s) : value_(std::string(s)) {}
    Json(Array a) : value_(std::move(a)) {}
    Json(Object o) : value_(std::move(o)) {}

    static Json object() { return Json(Object{}); }
    static Json array() { return Json(Array{}); }

    // Sets a member of an object (replaces one of the same key).
    Json& set(std::string_view key, Json value);
    // Appends to an array.
    Json& push(Json value);
    // The member of an object; null when there is none.
    const Json* find(std::string_view key) const;

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    std::string dump() const;

  private:
    void write(std::string& out) const;
    std::variant<std::monostate, bool, std::int64_t, float, double, std::string, Array, Object>
        value_;
};

}  // namespace parvion::cli
