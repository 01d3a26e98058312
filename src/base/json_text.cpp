#include "base/json_text.h"

namespace pelmora {

namespace {

std::string Scalar(const Json& value) {
    std::string text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!value.is_string()) return text;
    // The library writes the replacement character itself; as an escape it stays visible
    // in a terminal that shows the document's bytes some other way.
    static const std::string replacement = "\xEF\xBF\xBD";
    for (size_t at = text.find(replacement); at != std::string::npos;
         at = text.find(replacement, at + 6))
        text.replace(at, replacement.size(), "\\ufffd");
    return text;
}

void Write(const Json& value, std::string& out, int depth) {
    if (value.is_object()) {
        out += '{';
        bool first = true;
        for (const auto& [name, member] : value.items()) {
            if (!first) out += ", ";
            first = false;
            out += Scalar(Json(name));
            out += ": ";
            Write(member, out, depth);
        }
        out += '}';
    } else if (value.is_array()) {
        bool rows = false;
        for (const Json& element : value) rows = rows || element.is_structured();
        const std::string indent(2 * static_cast<size_t>(depth) + 2, ' ');
        out += rows ? "[\n" : "[";
        bool first = true;
        for (const Json& element : value) {
            if (!first) out += rows ? ",\n" : ", ";
            first = false;
            if (rows) out += indent;
            Write(element, out, depth + 1);
        }
        if (rows) out += "\n" + std::string(2 * static_cast<size_t>(depth), ' ');
        out += ']';
    } else {
        out += Scalar(value);
    }
}

}  // namespace

std::string JsonText(const Json& value) {
    std::string out;
    Write(value, out, 0);
    return out;
}

}  // namespace pelmora
