#pragma once
// One JSON object on one line, built field by field, for the commands' output. Strings are
// given as UTF-8. One thread per object.
#include <string>
#include <string_view>

namespace pelvano::cli {

class JsonObject {
  public:
    JsonObject& add(std::string_view key, std::string_view utf8);
    // Without it a string literal would pick the bool overload.
    JsonObject& add(std::string_view key, const char* utf8) {
        return add(key, std::string_view(utf8));
    }
    JsonObject& add(std::string_view key, long long number);
    JsonObject& add(std::string_view key, bool value);
    // A measured figure to `decimals` places; null when it is not finite.
    JsonObject& addFigure(std::string_view key, double value, int decimals);
    std::string str() const { return text_ + "}"; }

  private:
    void key(std::string_view name);
    std::string text_ = "{";
};

}  // namespace pelvano::cli
