#pragma once
// A text as a JSON string literal. Any thread.
#include <string>
#include <string_view>

namespace pelvano::core {

// The text in double quotes: quote, backslash and control characters escaped (\n, \t, ...,
// \u00XX), and every byte that is not part of well-formed UTF-8 replaced by \ufffd, so that
// the result is valid JSON whatever the bytes.
std::string JsonQuoted(std::string_view utf8);

}  // namespace pelvano::core
