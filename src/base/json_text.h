#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace pelmora {

// Members keep the order they were added in: documents read in the order a person expects.
using Json = nlohmann::ordered_json;

// A JSON document as Pelmora prints it: ": " after a name and ", " between items, one line,
// except that a list of objects or lists puts each element on a line of its own. Texts are
// bytes, not always UTF-8 (file names): a byte that is not part of well-formed UTF-8 is
// written as \ufffd, so that strict readers accept the document. No line end at the end.
std::string JsonText(const Json& value);

}  // namespace pelmora
