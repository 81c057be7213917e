#include "JsonObject.h"

#include <cmath>
#include <cstdio>

namespace pelvano::cli {

namespace {

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
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
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace

void JsonObject::key(std::string_view name) {
    if (text_.size() > 1) text_ += ", ";
    appendQuoted(text_, name);
    text_ += ": ";
}

JsonObject& JsonObject::add(std::string_view name, std::string_view utf8) {
    key(name);
    appendQuoted(text_, utf8);
    return *this;
}

JsonObject& JsonObject::add(std::string_view name, long long number) {
    key(name);
    text_ += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::add(std::string_view name, bool value) {
    key(name);
    text_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::addFigure(std::string_view name, double value, int decimals) {
    key(name);
    if (!std::isfinite(value)) {
        text_ += "null";
        return *this;
    }
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.*f", decimals, value);
    text_ += figure;
    return *this;
}

}  // namespace pelvano::cli
