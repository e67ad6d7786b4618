#include "platform/uno/office_profile.h"

#include "platform/failure.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform::uno {

namespace {
constexpr int kSlots = 64;

// The office's content providers, by the kind of address each opens.
constexpr const char* kProviders =
    "/org.openoffice.ucb.Configuration/ContentProviders/Local/SecondaryKeys/Office/ProviderData";

struct Setting {
    const char* path;
    const char* name;
    const char* value;           // the <value> element as the office writes it
    const char* node = nullptr;  // the member of a set at path that holds the property, if any (made when missing)
};

constexpr Setting kSettings[] = {
    {"/org.openoffice.Office.Common/Security/Scripting", "MacroSecurityLevel", "<value>3</value>"},
    {"/org.openoffice.Office.Common/Security/Scripting", "SecureURL", "<value/>"},
    {"/org.openoffice.Office.Common/Security/Scripting", "BlockUntrustedRefererLinks", "<value>true</value>"},
    // No lock files: documents are only read and written once, by us, and a
    // lock left by an office that was killed would outlive it.
    {"/org.openoffice.Office.Common/Misc", "UseLocking", "<value>false</value>"},
    {"/org.openoffice.Office.Common/Misc", "UseDocumentSystemFileLocking", "<value>false</value>"},
    {"/org.openoffice.Office.Common/Misc", "UseDocumentOOoLockFile", "<value>false</value>"},
    // Calc's link update mode: 0 always, 1 never, 2 on request.
    {"/org.openoffice.Office.Calc/Content/Update", "Link", "<value>1</value>"},
    // Calc's input line (child window 26100) stays closed. A Save As through the
    // dispatcher has the hidden frame open it a moment later; without Calc's
    // dialog files (libreoffice-calc-nogui ships none) building it throws from
    // the office's main loop, which aborts the whole office.
    {"/org.openoffice.Office.Views/Windows", "Visible", "<value>false</value>", "26100"},
    // Nothing is fetched over the network: a document's linked pictures and
    // other linked content would tell a stranger who opened the file, and
    // when. Without a service, the office has no way to open these addresses.
    {kProviders, "ServiceName", "<value/>", "Provider3"},    // http
    {kProviders, "ServiceName", "<value/>", "Provider4"},    // vnd.sun.star.webdav
    {kProviders, "ServiceName", "<value/>", "Provider4a"},   // webdav
    {kProviders, "ServiceName", "<value/>", "Provider6"},    // ftp
    {kProviders, "ServiceName", "<value/>", "Provider12"},   // https
    {kProviders, "ServiceName", "<value/>", "Provider12a"},  // vnd.sun.star.webdavs
    {kProviders, "ServiceName", "<value/>", "Provider12b"},  // webdavs
    {kProviders, "ServiceName", "<value/>", "Provider43"},   // vnd.libreoffice.cmis
};

constexpr const char* kEmptySettings =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
    "</oor:items>\n";

// Makes a folder and those above it; throws, naming the path and the
// system's reason, when it cannot be made.
void MakeFolder(const QString& path, const char* what)
{
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(path).toStdString(), error);
    if (error)
        throw Failure(QStringLiteral("Cannot create the %1 in %2: %3")
                          .arg(QLatin1String(what), path, QString::fromLocal8Bit(error.message())));
}

QByteArray SettingLine(const Setting& setting)
{
    QByteArray element = QByteArray("<prop oor:name=\"") + setting.name + "\" oor:op=\"fuse\">" + setting.value +
                         "</prop>";
    if (setting.node)
        element = QByteArray("<node oor:name=\"") + setting.node + "\" oor:op=\"fuse\">" + element + "</node>";
    return QByteArray("<item oor:path=\"") + setting.path + "\">" + element + "</item>";
}

bool IsLineOf(const QByteArray& line, const Setting& setting)
{
    return line.contains(QByteArray("oor:path=\"") + setting.path + "\"") &&
           line.contains(QByteArray("oor:name=\"") + (setting.node ? setting.node : setting.name) + "\"");
}
}  // namespace

OfficeProfile::OfficeProfile(const QString& root)
{
    MakeFolder(root, "office profile");
    for (int slot = 0; slot < kSlots; ++slot) {
        const QString lockPath = root + QStringLiteral("/profile-%1.lock").arg(slot);
        const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            throw Failure(QStringLiteral("Cannot open %1: %2").arg(lockPath, QString::fromLocal8Bit(strerror(errno))));
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            const QString path = root + QStringLiteral("/profile-%1").arg(slot);
            try {
                MakeFolder(path, "office profile");
            } catch (const Failure&) {
                ::close(fd);
                throw;
            }
            lockFd_ = fd;
            path_ = path;
            return;
        }
        ::close(fd);
    }
    throw Failure(QStringLiteral("All %1 office profiles under %2 are in use").arg(kSlots).arg(root));
}

OfficeProfile::~OfficeProfile()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString OfficeProfile::DefaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/quillmere/office");
}

QString OfficeProfile::temporaryFolder() const { return path_ + QStringLiteral("/tmp"); }

void OfficeProfile::prepare() const
{
    // What an office that was killed left in its temporary folder goes now: the slot is ours.
    QDir(temporaryFolder()).removeRecursively();
    MakeFolder(temporaryFolder(), "office's temporary folder");

    const QString folder = path_ + QStringLiteral("/user");
    const QString settingsPath = folder + QStringLiteral("/registrymodifications.xcu");
    QByteArray content = kEmptySettings;
    QFile existing(settingsPath);
    if (existing.open(QIODevice::ReadOnly) && existing.size() > 0)
        content = existing.readAll();
    existing.close();

    // The office writes one item a line; ours replace any earlier form of theirs.
    QList<QByteArray> lines = content.split('\n');
    lines.removeIf([](const QByteArray& line) {
        return std::any_of(std::begin(kSettings), std::end(kSettings),
                           [&](const Setting& setting) { return IsLineOf(line, setting); });
    });
    auto close = std::find_if(lines.begin(), lines.end(),
                              [](const QByteArray& line) { return line.contains("</oor:items>"); });
    if (close == lines.end()) {
        // Cut short (the office died while writing it): the profile is ours, start it afresh.
        lines = QByteArray(kEmptySettings).split('\n');
        close = std::find_if(lines.begin(), lines.end(),
                             [](const QByteArray& line) { return line.contains("</oor:items>"); });
    }
    qsizetype end = close - lines.begin();
    for (const Setting& setting : kSettings)
        lines.insert(end++, SettingLine(setting));

    MakeFolder(folder, "office settings folder");
    QSaveFile file(settingsPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(lines.join('\n')) < 0 || !file.commit())
        throw Failure(QStringLiteral("Cannot write the office settings %1: %2").arg(settingsPath, file.errorString()));
}

QString OfficeProfile::url() const { return QUrl::fromLocalFile(path_).toString(QUrl::FullyEncoded); }

}  // namespace platform::uno
