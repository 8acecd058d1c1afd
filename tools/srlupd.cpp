// Writes the version record srl.upd that the update check fetches:
//   srlupd <version> <name> <download address> [output file, default srl.upd]
// The version is the program's version, either dotted with four single-digit parts ("4.1.2.8")
// or as its number (4128). The texts are stored in Windows-1252 and must fit their fields.
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "imaging/imageTools.h"
#include "update/updateRecord.h"

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "srlupd: %s\n", message.toLocal8Bit().constData());
    return 1;
}

// The version number from "4.1.2.8" or "4128"; -1 when it is neither.
long ParseVersion(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() == 4) {
        long number = 0;
        for (const QString& part : parts) {
            if (part.size() != 1 || !part.at(0).isDigit())
                return -1;
            number = number * 10 + part.at(0).digitValue();
        }
        return number;
    }
    bool ok = false;
    const long number = text.toLong(&ok);
    return ok && parts.size() == 1 ? number : -1;
}

// Temporary file beside the target, flushed, then renamed over it.
bool WriteAtomically(const std::string& file, const update::TUpdateInfoRecord& record)
{
    const std::string temporary = file + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(record.Bytes.data()), static_cast<std::streamsize>(record.Bytes.size()));
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), file.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    if (args.size() < 3 || args.size() > 4)
        return Fail(QStringLiteral("usage: srlupd <version> <name> <download address> [output file]"));

    const long version = ParseVersion(args[0]);
    if (version < update::MinimumVersionNumber || version > 0x7FFFFFFF)
        return Fail(QStringLiteral("the version must be four single digits (4.1.2.8) or a number of at least %1")
                        .arg(update::MinimumVersionNumber));
    const std::string name = imaging::WideToAnsi(args[1]);
    const std::string address = imaging::WideToAnsi(args[2]);
    if (imaging::AnsiToQString(name) != args[1] || imaging::AnsiToQString(address) != args[2])
        return Fail(QStringLiteral("the name and the address must be Windows-1252 text without zero characters"));
    if (name.size() > update::TUpdateInfoRecord::NameSize)
        return Fail(QStringLiteral("the name is longer than %1 characters").arg(update::TUpdateInfoRecord::NameSize));
    if (address.size() > update::TUpdateInfoRecord::AddressSize)
        return Fail(QStringLiteral("the download address is longer than %1 characters")
                        .arg(update::TUpdateInfoRecord::AddressSize));
    if (!update::IsWebAddress(args[2]))
        return Fail(QStringLiteral("the download address must be an http or https address"));

    const std::string output = args.size() == 4 ? args[3].toStdString() : std::string("srl.upd");
    if (!WriteAtomically(output, update::MakeUpdateRecord(static_cast<std::int32_t>(version), name, address)))
        return Fail(QStringLiteral("cannot write %1").arg(QString::fromStdString(output)));
    std::printf("%s: version %ld, \"%s\", %s\n", output.c_str(), version, args[1].toLocal8Bit().constData(),
        args[2].toLocal8Bit().constData());
    return 0;
}
