#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The version record the vendor publishes as srl.upd, and how a received body is judged.
namespace update {

// The program's own version, as shown and as compared: the four parts written one after the other.
inline constexpr std::int32_t CurrentVersionNumber = 4127;
inline const QString CurrentVersionText = QStringLiteral("4.1.2.7");

// A record whose version number is below this is not a record at all.
inline constexpr std::int32_t MinimumVersionNumber = 4000;

// Status reports of a check, in the order a plain successful check sends the first three.
inline constexpr int StatusConnected = 0;     // a connection attempt completed, also a refused one
inline constexpr int StatusDisconnected = 1;  // a connection closed
inline constexpr int StatusRequesting = 2;    // the request is about to be sent
inline constexpr int StatusNewer = 3;         // a valid record with a newer version
inline constexpr int StatusLatest = 4;        // a valid record, no newer version
inline constexpr int StatusInvalid = 5;       // the body so far is no valid record

// Finished reports: FinishedHttpError or FinishedOtherError when the request failed, then
// FinishedDone, always last.
inline constexpr int FinishedDone = 0;
inline constexpr int FinishedHttpError = 1;
inline constexpr int FinishedOtherError = 2;

// 333 bytes, little-endian: version number, 4 reserved bytes, the version name, the download
// address; both texts single-byte (Windows-1252), ending at the first zero or at their field's end.
struct TUpdateInfoRecord {
    static constexpr std::size_t Size = 333;
    static constexpr std::size_t NameOffset = 8;
    static constexpr std::size_t NameSize = 64;
    static constexpr std::size_t AddressOffset = 72;
    static constexpr std::size_t AddressSize = 261;

    std::array<std::uint8_t, Size> Bytes{};

    std::int32_t VersionNumber() const;
    std::string VersionName() const;
    std::string DownloadAddress() const;
};

// Judges the body received so far: StatusInvalid when it does not start with a version number of
// at least MinimumVersionNumber (a body shorter than 4 bytes included), otherwise fills `record`
// from its first 333 bytes, zeros after a shorter body, and gives StatusNewer or StatusLatest.
// `record` is left alone for an invalid body.
int EvaluateUpdateBody(std::string_view body, std::int32_t currentVersionNumber, TUpdateInfoRecord& record);

// A record for publishing: the texts are single-byte and must fit their fields (a text that fills
// its field has no terminating zero).
TUpdateInfoRecord MakeUpdateRecord(std::int32_t versionNumber, std::string_view name, std::string_view address);

// Whether a download address may be handed to the browser: only http and https addresses with a
// host; anything else (file:, javascript:, a local path) is only shown.
bool IsWebAddress(const QString& address);

}  // namespace update
