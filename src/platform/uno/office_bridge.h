#pragma once

// The automation bridge to LibreOffice. It owns one office process, started
// on first need with a private profile and reached over a pipe of its own;
// later objects reuse the live connection, and an office that has gone away
// is replaced by a fresh one at the next CreateObject. The office ends with
// the bridge, or with the program however the program ends.

#include "platform/automation/automation.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <mutex>

namespace platform::uno {

class OfficeProfile;
class OfficeSession;
class ServiceManagerObject;

// How long one call into the office may take before the office is taken
// for hung and ended. QUILLMERE_CALL_TIMEOUT (seconds) overrides it.
inline constexpr int kDefaultCallTimeoutSeconds = 180;

// The limit in force: QUILLMERE_CALL_TIMEOUT when it holds a positive
// number of seconds, otherwise the default.
std::chrono::milliseconds CallTimeout();

struct OfficeBridgeOptions {
    QString officeProgramDir;  // default: the office this program was built for
    QString profileRoot;       // default: OfficeProfile::DefaultRoot()
    int connectTimeoutMs = 60000;
    std::chrono::milliseconds callTimeout{0};  // default: CallTimeout()
    qint64 memoryLimitMB = 0;                  // default: platform::OfficeMemoryLimitMB()
};

class OfficeBridge : public automation::Bridge {
public:
    explicit OfficeBridge(OfficeBridgeOptions options = {});
    ~OfficeBridge() override;

    // "com.sun.star.ServiceManager" is the one class this bridge makes.
    automation::ObjectRef CreateObject(const QString& className) override;

    // The office may read the file it is given to read, and no other of the
    // user's; the folders it writes into are cleaned of a save cut short when
    // it is killed.
    void WillRead(const QString& file) override;
    void WillWrite(const QString& file) override;

    // Ends the office now; the next CreateObject starts another.
    void EndOffice() override;
    void KillOffice() override;

    // About the current office, for diagnostics; empty or 0 when none runs.
    QString pipeName() const;
    QString profilePath() const;
    qint64 officeProcessId() const;

private:
    std::shared_ptr<OfficeSession> liveSession();
    void writeReadableList();

    OfficeBridgeOptions options_;
    mutable std::mutex mutex_;
    std::unique_ptr<OfficeProfile> profile_;
    std::shared_ptr<OfficeSession> session_;
    // The service manager of session_, given to every row: what it learnt
    // of its own methods is learnt once an office.
    std::shared_ptr<ServiceManagerObject> serviceManager_;
    int starts_ = 0;
    QString reading_;
    QString writing_;
    QStringList outputFolders_;
};

// The bridge the program uses.
std::unique_ptr<automation::Bridge> MakeOfficeBridge();

}  // namespace platform::uno
