#include "update/updateRecord.h"

#include <QUrl>

#include <algorithm>
#include <cstring>

namespace update {

namespace {

std::string FieldText(const std::array<std::uint8_t, TUpdateInfoRecord::Size>& bytes, std::size_t offset,
    std::size_t size)
{
    const auto* begin = reinterpret_cast<const char*>(bytes.data()) + offset;
    return std::string(begin, ::strnlen(begin, size));
}

std::int32_t ReadInt32(const std::uint8_t* bytes)
{
    const std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16
        | std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t TUpdateInfoRecord::VersionNumber() const
{
    return ReadInt32(Bytes.data());
}

std::string TUpdateInfoRecord::VersionName() const
{
    return FieldText(Bytes, NameOffset, NameSize);
}

std::string TUpdateInfoRecord::DownloadAddress() const
{
    return FieldText(Bytes, AddressOffset, AddressSize);
}

int EvaluateUpdateBody(std::string_view body, std::int32_t currentVersionNumber, TUpdateInfoRecord& record)
{
    if (body.size() < 4 || ReadInt32(reinterpret_cast<const std::uint8_t*>(body.data())) < MinimumVersionNumber)
        return StatusInvalid;
    record.Bytes.fill(0);
    std::memcpy(record.Bytes.data(), body.data(), std::min(body.size(), TUpdateInfoRecord::Size));
    return record.VersionNumber() > currentVersionNumber ? StatusNewer : StatusLatest;
}

TUpdateInfoRecord MakeUpdateRecord(std::int32_t versionNumber, std::string_view name, std::string_view address)
{
    TUpdateInfoRecord record;
    const auto value = static_cast<std::uint32_t>(versionNumber);
    for (int i = 0; i < 4; ++i)
        record.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    std::memcpy(record.Bytes.data() + TUpdateInfoRecord::NameOffset, name.data(),
        std::min(name.size(), TUpdateInfoRecord::NameSize));
    std::memcpy(record.Bytes.data() + TUpdateInfoRecord::AddressOffset, address.data(),
        std::min(address.size(), TUpdateInfoRecord::AddressSize));
    return record;
}

bool IsWebAddress(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

}  // namespace update
