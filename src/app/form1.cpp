#include "app/form1.h"

#include "app/frame_style.h"
#include "app/locations.h"
#include "app/product.h"
#include "app/step_runner.h"
#include "app/startup_helpers.h"
#include "app/window_run_host.h"
#include "convert/batch_run.h"
#include "filelist/add_files_dialog.h"
#include "filelist/drop_files.h"
#include "filelist/file_list.h"
#include "filelist/row_reorder.h"
#include "folders/sample_files.h"
#include "folders/add_all_files.h"
#include "folders/folder_scan.h"
#include "platform/window_yield.h"
#include "output/output_destination.h"
#include "platform/common_dialog.h"
#include "platform/automation/automation.h"
#include "platform/failure.h"
#include "platform/skin_framework.h"

#include <QCloseEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTreeWidget>

#include <cstdlib>

namespace app {

namespace {

constexpr char kListToolTip[] =
    "Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal "
    "full names.";

void Place(QWidget* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

QFont ArialBold(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

void PaintWhite(QWidget* control)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, Qt::white);
    control->setPalette(palette);
    // Buttons, option buttons among them, fill with the button colour by default.
    control->setBackgroundRole(QPalette::Window);
    control->setAutoFillBackground(true);
}

}  // namespace

void SetOptionChecked(QRadioButton* option, bool checked)
{
    if (checked) {
        option->setChecked(true);  // clears the other option of the group
        return;
    }
    const bool exclusive = option->autoExclusive();
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(exclusive);
}

Form1::Form1(Services services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      services_(std::move(services)),
      pointer_(this),
      applicationTitle_(QLatin1String(kProductName)),
      SkinFramework1(std::make_unique<platform::SkinFramework>()),
      CommonDialog1(std::make_unique<platform::CommonDialog>(*services_.dialogs))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_QuitOnClose);
    BuildControls();
    fileList_ = std::make_unique<filelist::FileList>(ListView1, [this] { return pointer_.busy(); });
    outputDestination_ =
        std::make_unique<output::OutputDestination>(output::OutputDestination::Controls{Option1, Option2, Frame1,
                                                                                        Text1},
                                                    *services_.settings, *services_.dialogs, reporter());
    folderScan_ = std::make_unique<folders::FolderScan>(*services_.fileSystem, platform::WindowYield(), reporter());
    rowReorder_ = std::make_unique<filelist::RowReorder>(
        ListView1, services_.programFolder + QStringLiteral("/drag.ico"),
        services_.cursorPosition ? services_.cursorPosition : [] { return QCursor::pos(); });
    // A removed row is forgotten by the reorder gesture: it holds its row as a persistent index.
    runHost_ = std::make_unique<WindowRunHost>(*this);
    batchRun_ = std::make_unique<convert::BatchRun>(*services_.bridge, *runHost_, services_.queue);
    WireEvents();
}

Form1::~Form1() = default;

void Form1::BuildControls()
{
    setFixedSize(Twips(8040), Twips(6690));
    setFont(ArialBold(9));
    PaintWhite(this);

    ListView1 = new QTreeWidget(this);
    Place(ListView1, "ListView1", 120, 120, 7800, 2535);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setSortingEnabled(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsMovable(false);
    ListView1->setColumnCount(0);
    ListView1->setHeaderHidden(false);
    ListView1->setToolTip(QLatin1String(kListToolTip));
    ListView1->setFont(ArialBold(9));

    const QFont buttonFont = ArialBold(11.25);
    auto makeButton = [&](const char* name, const char* caption, QWidget* container, int left, int top, int width,
                          int height) {
        auto* button = new QPushButton(QLatin1String(caption), container);
        Place(button, name, left, top, width, height);
        button->setFont(buttonFont);
        return button;
    };
    PushButton1 = makeButton("PushButton1", "Add Calc File(s)", this, 120, 2750, 3840, 405);
    PushButton4 = makeButton("PushButton4", "Add All Calc Files In Folder", this, 4080, 2750, 3840, 405);
    PushButton8 = makeButton("PushButton8", "Clear List", this, 120, 3260, 3840, 405);
    PushButton9 = makeButton("PushButton9", "Load Sample/Example Files", this, 4080, 3260, 3840, 405);

    Frame5 = new QGroupBox(QStringLiteral("Save Option"), this);
    Place(Frame5, "Frame5", 120, 3710, 7800, 1815);
    PaintWhite(Frame5);

    Option1 = new QRadioButton(QStringLiteral("Save results to this folder:"), Frame5);
    Place(Option1, "Option1", 240, 300, 3615, 255);
    Option1->setChecked(true);
    PaintWhite(Option1);

    Frame1 = new QGroupBox(Frame5);
    Place(Frame1, "Frame1", 480, 510, 6840, 810);
    PaintWhite(Frame1);

    Text1 = new QLineEdit(Frame1);
    Place(Text1, "Text1", 240, 300, 5670, 345);

    PushButton3 = makeButton("PushButton3", "...", Frame1, 6000, 300, 600, 345);

    Option2 = new QRadioButton(QStringLiteral("Save results in folder of original file"), Frame5);
    Place(Option2, "Option2", 240, 1410, 3615, 255);
    PaintWhite(Option2);

    PushButton2 = makeButton("PushButton2", "Start Saving", this, 120, 5640, 7800, 405);

    ProgressBar1 = new QProgressBar(this);
    Place(ProgressBar1, "ProgressBar1", 120, 6160, 7800, 405);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(true);
    ProgressBar1->setAlignment(Qt::AlignCenter);
    ProgressBar1->setFormat(QStringLiteral("Progress Bar"));

    // Made last, so that it is deleted after the frames that use it.
    auto* frameStyle = new FrameStyle;
    frameStyle->setParent(this);
    Frame5->setStyle(frameStyle);
    Frame1->setStyle(frameStyle);

    const QList<QWidget*> tabOrder{ListView1,   ProgressBar1, PushButton1, PushButton4, PushButton2,
                                   PushButton8, PushButton9,  Frame5,      Option1,     Option2,
                                   Frame1,      Text1,        PushButton3};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
}

void Form1::WireEvents()
{
    setMouseTracking(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }
    ListView1->viewport()->installEventFilter(this);
    ListView1->setAcceptDrops(true);
    ListView1->viewport()->setAcceptDrops(true);
    installEventFilter(this);

    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form1::PushButton8_Click);
    connect(PushButton9, &QPushButton::clicked, this, &Form1::PushButton9_Click);
    connect(ListView1, &QTreeWidget::itemPressed, this, [this] { rowReorder_->ItemClick(); });
    auto optionClick = [this](bool selected) {
        if (selected)
            outputDestination_->OptionClick();
    };
    connect(Option1, &QRadioButton::toggled, this, optionClick);
    connect(Option2, &QRadioButton::toggled, this, optionClick);
    connect(Text1, &QLineEdit::textChanged, this, [this] { outputDestination_->Text1_Change(); });
}

ErrorReporter Form1::reporter() const { return MessageBoxReporter(*services_.dialogs); }

void Form1::PushButton1_Click()
{
    filelist::AddFilesFromDialog(*fileList_, *CommonDialog1, *services_.dialogs, applicationTitle_, reporter());
}

void Form1::PushButton2_Click() { batchRun_->PushButton2_Click(); }

bool Form1::IsSaving() const { return batchRun_->IsSaving(); }

void Form1::closeEvent(QCloseEvent* event)
{
    if (!IsSaving()) {
        QWidget::closeEvent(event);
        return;
    }
    // Closing the window ends the program at once, also in the middle of a
    // run, where an office call may go on for minutes: the offices are killed
    // first, so that nothing more is written, then what their saves left half
    // made goes.
    services_.bridge->KillOffice();
    batchRun_->AbandonSave();
    if (services_.endProcess)
        services_.endProcess();
    else
        std::_Exit(0);
}

void Form1::PushButton3_Click() { outputDestination_->PushButton3_Click(); }

void Form1::CenterOnScreen()
{
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (watched == ListView1->viewport())
            rowReorder_->MouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::MouseButtonRelease:
        if (watched == ListView1->viewport())
            rowReorder_->MouseUp();
        break;
    case QEvent::MouseMove:
        if (watched == ListView1->viewport() && rowReorder_->RowDragActive()) {
            PointerMoved(ListView1);
            rowReorder_->MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;  // the list's own drag selection stays out of the way
        }
        [[fallthrough]];
    case QEvent::Enter: {
        // Propagated moves arrive at every parent too: decide by what lies under the pointer.
        QPointF global = event->type() == QEvent::MouseMove ? static_cast<QMouseEvent*>(event)->globalPosition()
                                                            : static_cast<QEnterEvent*>(event)->globalPosition();
        QWidget* over = childAt(mapFromGlobal(global.toPoint()));
        PointerMoved(over ? over : this);
        break;
    }
    case QEvent::KeyPress:
        if (watched == ListView1)
            ListView1_KeyDown(static_cast<QKeyEvent*>(event)->key());
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (watched == ListView1->viewport())
            return ListView1_OLEDragOver(event);
        break;
    case QEvent::Drop:
        if (watched == ListView1->viewport()) {
            ListView1_OLEDragDrop(event);
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == ListView1->viewport())
            ListView1_DblClick();
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::PointerMoved(QWidget* over)
{
    for (QWidget* control = over; control; control = control->parentWidget()) {
        if (qobject_cast<QPushButton*>(control)) {
            pointer_.overButton();
            return;
        }
        if (control == this)
            break;
    }
    pointer_.overBackground();
}

void Form1::ListView1_KeyDown(int key)
{
    if (key == Qt::Key_Delete)
        fileList_->RemoveSelectedRow();
}

void Form1::ListView1_DblClick() { fileList_->RemoveSelectedRow(); }

bool Form1::ListView1_OLEDragOver(QEvent* event)
{
    auto* drag = static_cast<QDragMoveEvent*>(event);
    if (filelist::DroppedPaths(drag->mimeData()).isEmpty()) {
        drag->ignore();
        drag->setDropAction(Qt::IgnoreAction);
    } else {
        drag->acceptProposedAction();
    }
    return true;
}

void Form1::ListView1_OLEDragDrop(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = filelist::DroppedPaths(drop->mimeData());
    if (paths.isEmpty()) {
        drop->ignore();
        return;
    }
    drop->acceptProposedAction();
    AddPaths(paths);
}

void Form1::AddPaths(const QStringList& paths)
{
    // What cannot be added is told, unless it may not be read or is gone.
    filelist::DropFiles(*fileList_, *folderScan_, paths, [this](const platform::Failure& failure, int label) {
        if (!folders::LeftOutQuietly(failure))
            reporter()(failure.description(), locations::Form1("ListView1_OLEDragDrop"), label);
    });
}

void Form1::PushButton9_Click()
{
    RunGuarded(locations::Form1("PushButton9_Click"), reporter(), [&](Steps& steps) {
        steps.run(100, [&] {
            folders::SampleFiles{services_.programFolder, *folderScan_, *services_.settings}.LoadSampleFiles(
                *fileList_, *services_.dialogs, *services_.shell, applicationTitle_);
        });
    });
}

void Form1::PushButton4_Click()
{
    folders::AddAllFiles{*fileList_,
                         *folderScan_,
                         *services_.dialogs,
                         *services_.settings,
                         [this](int value) { pointer_.set(value); },
                         applicationTitle_,
                         reporter()}
        .PushButton4_Click();
}

}  // namespace app
