#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// What CompareVersions answers when a text is not a version number.
constexpr int kFirstVersionMalformed = -21;
constexpr int kSecondVersionMalformed = -22;

// Compares two version texts of one to four dot-separated decimal numbers ("1.0.6.6",
// "1.1"); missing components count as 0 and empty pieces (leading, trailing or doubled dots)
// are skipped. Answers 1 if a is newer than b, -1 if older, 0 if equal, kFirstVersionMalformed
// if a is not a version and kSecondVersionMalformed if b is not. Numbers of any length compare
// by value.
int CompareVersions(std::string_view a, std::string_view b);

// This program's version, as the build states it (never empty).
std::string OwnVersion();

// The version a published update page claims: the digits and dots that begin the first 7
// characters of its body. Whatever follows is for people reading the page; a body that does
// not begin with a digit or dot claims no version ("").
std::string PublishedVersion(std::string_view body);

}  // namespace pelmora
