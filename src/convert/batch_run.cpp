#include "convert/batch_run.h"

#include "app/locations.h"
#include "app/paths.h"
#include "app/step_runner.h"
#include "app/window_pointer.h"
#include "convert/excel97_examination.h"
#include "convert/output_naming.h"
#include "convert/property_value.h"
#include "convert/row_queue.h"
#include "convert/run_host.h"
#include "convert/save_target.h"
#include "platform/automation/automation.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>

#include <optional>

namespace convert {

using platform::Failure;
using platform::automation::ObjectRef;
using platform::automation::Use;
using platform::automation::Variant;
using platform::automation::VariantArray;

namespace {

constexpr std::int16_t kDispatchSuccess = 1;

// The same file, whatever way its path is written, links followed.
QString Canonical(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? ResultIdentity(path) : canonical;
}

// The URL the office opens a file by, once the office is told it may read it.
QString ReadableUrl(platform::automation::Bridge& bridge, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    bridge.WillRead(absolute);
    return FileUrl(absolute);
}

// The URL the office saves a file by, once the office is told it may write it.
QString WritableUrl(platform::automation::Bridge& bridge, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    bridge.WillWrite(absolute);
    return FileUrl(absolute);
}

// Loads the spreadsheet hidden; the report of a load that fails names the file.
ObjectRef OpenDocument(platform::automation::Bridge& bridge, platform::automation::Object& serviceManager,
                       const ObjectRef& desktop, const QString& inputPath)
{
    // The office opens an empty file as a new, empty document: that would pass for a conversion.
    const QFileInfo input(inputPath);
    if (input.isFile() && input.size() == 0)
        throw Failure(QStringLiteral("%1 is empty: there is no spreadsheet to convert").arg(inputPath));
    const QString inputUrl = ReadableUrl(bridge, inputPath);
    const VariantArray loadArguments{MakePropertyValue(serviceManager, QStringLiteral("Hidden"), true)};
    Variant document;
    platform::automation::Object& loader = Use(desktop);
    try {
        document = loader.call(QStringLiteral("loadComponentFromURL"),
                               {inputUrl, "_blank", Variant::Int16(0), loadArguments});
    } catch (const Failure& failure) {
        // A file that went after it was listed, or cannot be read, is told as the system tells it:
        // the office only says that it found no type for the address.
        if (const std::optional<Failure> unreadable = platform::ReadFailure(inputPath))
            throw *unreadable;
        // What went wrong in the office says nothing of the file; the report must.
        throw Failure(QStringLiteral("The office suite could not open %1: %2").arg(inputPath, failure.description()),
                      failure.number());
    }
    if (document.isEmpty())
        throw Failure(QStringLiteral("The office suite could not open %1: it holds no spreadsheet that the office can "
                                     "read (a file of another kind, a damaged one, or one locked with a password)")
                          .arg(inputPath));
    return document.toObject();
}

// Refuses a save through a link standing at the workbook's name (the office
// would write where the link leads), over the row's own input, or over a
// workbook that this run wrote from another input. The target is the
// workbook's ResultIdentity, the source the input's canonical path.
void RefuseOverwrite(const QString& target, const QString& source, const QHash<QString, QString>& writtenBy,
                     const QString& outputPath)
{
    if (QFileInfo(target).isSymLink())
        throw Failure(QStringLiteral("%1 was not saved: a symbolic link stands at its name, and a workbook is "
                                     "never written through one. The link and where it leads are as they were")
                          .arg(outputPath));
    if (target == source)
        throw Failure(QStringLiteral("%1 was not saved: it would replace its own input file").arg(outputPath));
    const auto earlier = writtenBy.constFind(target);
    if (earlier != writtenBy.constEnd() && earlier.value() != source)
        throw Failure(
            QStringLiteral("%1 was not saved: this run already wrote it from %2").arg(outputPath, earlier.value()));
}

// Throws unless the office says the save succeeded and left a workbook with something in it.
void CheckSaved(const Variant& result, const QString& target, const QString& outputPath, const QString& inputPath)
{
    if (result.type() == Variant::Type::Object &&
        result.toObject()->get(QStringLiteral("State")).toInt() != kDispatchSuccess)
        throw Failure(QStringLiteral("The office suite could not save %1 from %2").arg(outputPath, inputPath));
    const QFileInfo written(target);
    if (!written.isFile())
        throw Failure(QStringLiteral("The office suite did not write %1").arg(outputPath));
    if (written.size() == 0)
        throw Failure(QStringLiteral("The office suite wrote %1 empty").arg(outputPath));
}

// Saves the document shown in frame as the workbook at target, checks it and
// puts it on the disk; a save that fails leaves no broken workbook behind, and
// its report says what became of the file.
// While it saves, underWay points to what the save may leave half made.
void SaveWorkbook(platform::automation::Object& dispatcher, const ObjectRef& frame, const VariantArray& saveArguments,
                  const QString& target, const QString& outputPath, const QString& inputPath,
                  const SaveTarget*& underWay)
{
    const VariantArray dispatchArguments{Variant(frame).toObject(), ".uno:SaveAs", "", Variant::Int16(0),
                                         saveArguments};
    const SaveTarget saving(target);
    underWay = &saving;
    const auto over = qScopeGuard([&underWay] { underWay = nullptr; });
    try {
        Variant result;
        try {
            result = dispatcher.call(QStringLiteral("executeDispatch"), dispatchArguments);
        } catch (const Failure& failure) {
            throw Failure(QStringLiteral("The office suite could not save %1 from %2: %3")
                              .arg(outputPath, inputPath, failure.description()),
                          failure.number());
        }
        CheckSaved(result, target, outputPath, inputPath);
        saving.Sync();
    } catch (const Failure& failure) {
        throw Failure(saving.Failed(failure.description()), failure.number());
    }
}

// One row's objects on the bridge; all are let go when the row ends.
struct RowObjects {
    ObjectRef serviceManager;
    ObjectRef desktop;
    ObjectRef document;
    ObjectRef dispatcher;
    ObjectRef frame;
};

}  // namespace

// What the rows of one run share.
struct BatchRun::Shared {
    // The chosen folder as the check before the run saw it: relative to the current folder.
    QString chosenFolder;
    // Which input each output of this run came from, so that no row overwrites another's result.
    QHash<QString, QString> writtenBy;
    Excel97Examination examination;
    // Kept from row to row, as the loop's own variables are: a step that fails leaves the last value.
    QString inputPath, outputName, outputPath;
    VariantArray saveArguments = VariantArray(3);
};

BatchRun::BatchRun(platform::automation::Bridge& bridge, RunHost& host, RowQueue* queue)
    : bridge_(bridge), host_(host), queue_(queue)
{
}

BatchRun::~BatchRun() = default;

void BatchRun::PushButton2_Click()
{
    if (isSaving_)  // 100: a run is under way
        return;
    isSaving_ = true;  // 102
    const auto reporter = [this](const QString& d, const QString& l, int s) { host_.ReportError(d, l, s); };
    app::RunGuarded(app::locations::Form1("PushButton2_Click"), reporter, [&](app::Steps& steps) {
        enum class Outcome { Converted, NoFiles, NoFolder } outcome = Outcome::Converted;
        if (steps.block(104, [&] { return host_.RowCount() == 0; })) {
            outcome = Outcome::NoFiles;
        } else if (!steps.block(106, [&] {
                       const bool folderExists = app::IsFolder(host_.Text1());
                       return folderExists || host_.Option2();
                   })) {
            outcome = Outcome::NoFolder;
        }

        switch (outcome) {
        case Outcome::Converted:
            ConvertRows();
            steps.run(172, [&] { host_.SetMousePointer(app::kPointerDefault); });
            steps.run(174, [&] { host_.SetProgressValue(0); });
            steps.run(176, [&] { host_.SetProgressText(QLatin1String(kIdleProgressText)); });
            steps.run(178, [&] { host_.Notice(QLatin1String(kDone)); });
            break;
        case Outcome::NoFolder: steps.run(180, [&] { host_.Notice(QLatin1String(kNoFolder)); }); break;
        case Outcome::NoFiles: steps.run(182, [&] { host_.Notice(QLatin1String(kNoFiles)); }); break;
        }
    });
    isSaving_ = false;  // 184
}

void BatchRun::ConvertRows()
{
    const auto reporter = [this](const QString& d, const QString& l, int s) { host_.ReportError(d, l, s); };
    app::Steps steps(app::locations::Form1("PushButton2_Click"), reporter);

    int rowCount = 0;
    steps.run(108, [&] { rowCount = host_.RowCount(); });
    BeginRows();
    if (queue_) {
        // With neither option selected, results go to the folder that was checked.
        const bool beside = !host_.Option1() && host_.Option2();
        queue_->Convert(host_, rowCount, beside, shared_->chosenFolder);
        return;
    }
    for (int row = 1; row <= rowCount; ++row)
        ConvertRow(row);
}

void BatchRun::AbandonSave()
{
    if (queue_)
        queue_->Abandon();
    if (savingNow_)
        savingNow_->Failed(QString());
}

void BatchRun::BeginRows()
{
    shared_ = std::make_unique<Shared>();
    shared_->chosenFolder = QDir::current().absoluteFilePath(host_.Text1());
}

namespace {
app::Steps RowSteps(RunHost& host)
{
    return app::Steps(app::locations::Form1("PushButton2_Click"),
                      [&host](const QString& d, const QString& l, int s) { host.ReportError(d, l, s); });
}
}  // namespace

bool ReadRow(RunHost& host, int row, QString& inputPath)
{
    return RowSteps(host).run(110, [&] { inputPath = host.RowText(row); });
}

void ShowRowUnderWay(RunHost& host, int row, const QString& inputPath, QString& outputName)
{
    app::Steps steps = RowSteps(host);
    steps.run(112, [&] {
        const int rowsNow = host.RowCount();
        if (rowsNow == 0)
            throw Failure(QStringLiteral("Division by zero"), 11);
        host.SetProgressValue(static_cast<double>(row) / rowsNow * 100.0);
    });
    steps.run(114, [&] { host.RowStarted(row, inputPath); });
    steps.run(116, [&] { host.Yield(); });
    steps.run(118, [&] { host.SetMousePointer(app::kPointerHourglass); });
    // 120-126: the name without its extension, then ".xls".
    steps.run(124, [&] { outputName = OutputName(inputPath); });
    steps.run(128, [&] { host.SetMousePointer(app::kPointerHourglass); });
}

bool BatchRun::ConvertRow(int row)
{
    const auto reporter = [this](const QString& d, const QString& l, int s) { host_.ReportError(d, l, s); };
    const QString location = app::locations::Form1("PushButton2_Click");
    app::Steps steps(location, reporter);
    const QString& chosenFolder = shared_->chosenFolder;
    QHash<QString, QString>& writtenBy = shared_->writtenBy;
    Excel97Examination& examination = shared_->examination;
    VariantArray& saveArguments = shared_->saveArguments;
    QString& inputPath = shared_->inputPath;
    QString& outputName = shared_->outputName;
    QString& outputPath = shared_->outputPath;
    RowObjects objects;
    ReadRow(host_, row, inputPath);
    ShowRowUnderWay(host_, row, inputPath, outputName);

    // Without a document no later step has anything to work on: the first report says why, alone.
    const bool opened = steps.run(130, [&] {
        objects.serviceManager = bridge_.CreateObject(QLatin1String(kServiceManager));
    }) && steps.run(132, [&] {
        objects.desktop = Use(objects.serviceManager)
                              .call(QStringLiteral("createInstance"), {"com.sun.star.frame.Desktop"})
                              .toObject();
    }) && steps.run(134, [&] {
        objects.document = OpenDocument(bridge_, Use(objects.serviceManager), objects.desktop, inputPath);
    });
    if (!opened) {
        steps.run(168, [&] { host_.SetMousePointer(app::kPointerHourglass); });
        return false;
    }
    steps.run(136, [&] {
        objects.dispatcher = Use(objects.serviceManager)
                                 .call(QStringLiteral("createInstance"), {"com.sun.star.frame.DispatchHelper"})
                                 .toObject();
    });
    // The controller is asked for and let go at once: 140 asks again on its way to the frame.
    steps.run(138, [&] { Use(objects.document).call(QStringLiteral("getCurrentController"), {}); });
    steps.run(140, [&] {
        objects.frame = Use(objects.document)
                            .call(QStringLiteral("getCurrentController"), {})
                            .toObject()
                            ->call(QStringLiteral("getFrame"), {})
                            .toObject();
    });

    // With neither option selected, results go to the folder that was checked.
    if (steps.block(142, [&] { return host_.Option1() || !host_.Option2(); }))
        steps.run(144, [&] { outputPath = JoinOutputPath(inputPath, false, chosenFolder); });
    else
        steps.run(148, [&] { outputPath = JoinOutputPath(inputPath, true, chosenFolder); });
    steps.run(150, [&] { outputPath = app::FixDoubleBackslashes(outputPath); });
    steps.run(152, [&] { outputPath = SlashForm(outputPath); });

    steps.run(156, [&] {
        saveArguments[0] = MakePropertyValue(Use(objects.serviceManager), QStringLiteral("URL"),
                                             WritableUrl(bridge_, outputPath));
    });
    steps.run(158, [&] {
        saveArguments[1] = MakePropertyValue(Use(objects.serviceManager), QStringLiteral("FilterName"),
                                             QStringLiteral("MS Excel 97"));
    });
    // SelectionOnly, the third save argument, is passed as the run has always
    // passed it, and it cuts nothing: a document loaded hidden has only its
    // cursor cell selected, and the Excel 97 export writes every sheet whole
    // whatever is selected (the tests that read workbooks back see every cell).
    steps.run(160, [&] {
        saveArguments[2] = MakePropertyValue(Use(objects.serviceManager), QStringLiteral("SelectionOnly"), true);
    });

    // What the workbook will lack is found before the save and told once it is written.
    std::vector<Excel97Loss> losses;
    QString unexamined;
    const bool saved = steps.run(162, [&] {
        const QString target = ResultIdentity(outputPath);
        const QString source = Canonical(inputPath);
        RefuseOverwrite(target, source, writtenBy, outputPath);
        try {
            losses = examination.Losses(Use(objects.serviceManager), Use(objects.document));
        } catch (const Failure& failure) {
            unexamined = failure.description();
        }
        SaveWorkbook(Use(objects.dispatcher), objects.frame, saveArguments, target, outputPath, inputPath, savingNow_);
        writtenBy.insert(target, source);
    });
    if (saved) {
        std::vector<Excel97Report> reports = DescribeExcel97Losses(losses, inputPath, outputPath);
        if (!unexamined.isEmpty())
            reports.push_back(
                {QStringLiteral("unexamined"), Excel97ExaminationFailed(inputPath, outputPath, unexamined)});
        for (const Excel97Report& report : reports)
            host_.ReportLoss(report.kind, report.description, location, 162);
    }
    const bool closed = steps.run(164, [&] {
        try {
            Use(objects.document).call(QStringLiteral("Close"), {true});
        } catch (const Failure& failure) {
            if (!saved)
                throw;
            // The workbook was checked and put on the disk before: it is whole, and counts so.
            throw Failure(QStringLiteral("%1. %2 was written whole before that, and is kept")
                              .arg(failure.description(), outputPath),
                          failure.number());
        }
    });
    if (!closed && objects.document) {
        // A document that refused to close is let go all the same, so the office keeps no file open.
        try {
            objects.document->call(QStringLiteral("dispose"), {});
        } catch (const Failure&) {
        }
    }
    steps.run(166, [&] { objects.document.reset(); });
    steps.run(168, [&] { host_.SetMousePointer(app::kPointerHourglass); });
    return saved;
}

}  // namespace convert
