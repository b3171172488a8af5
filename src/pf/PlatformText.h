#pragma once

#include <cstdint>
#include <string>

/// Text rules behind the platform services, kept apart from the system calls so
/// that they can be checked on their own.
namespace pf {
namespace text {

/// "major.minor.patch" from a kernel release such as "6.1.0-13-amd64"; missing
/// numbers count as 0.
std::string osVersionFromRelease(const std::string& release);

/// The language in the en_GB form from the locale variables, taken in the order
/// of precedence LC_ALL, LC_MESSAGES, LANG (null or empty ones are skipped).
/// "en_US" when the first set one does not name a language and a country.
std::string languageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);

/// The identifier chain: sha1Hex of the base text, whose base is sha1Hex of the
/// machine id (surrounding blanks removed), or "unavailable" without one.
std::string deviceIdFromMachineId(const std::string& machineId, bool available);

/// The standard text of 16 random bytes, with the version 4 and variant bits set.
std::string formatRandomUUID(const uint8_t (&bytes)[16]);

}  // namespace text
}  // namespace pf
