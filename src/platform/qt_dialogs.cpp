#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>

namespace platform {

QString DisplayText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

namespace {

// What a title bar takes besides its caption: the window's icon, its buttons
// and the margins between them, as the usual window managers draw them.
constexpr int kTitleBarRoom = 130;

// A message box is as wide as its text and buttons need, which may be too
// narrow for its caption: the window manager then cuts the caption to "Q…".
// A spacer as wide as the caption's title bar keeps it whole.
void KeepCaptionWhole(QMessageBox& box)
{
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

}  // namespace

Answer QtDialogs::message(const QString& text, const QString& caption, Buttons buttons, Icon icon)
{
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption, DisplayText(text),
                    buttons == Buttons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    KeepCaptionWhole(box);
    const int pressed = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(owner_, title, DisplayText(prompt), QLineEdit::Normal, defaultText,
                                                 &ok);
    return ok ? answer : QString();
}

QStringList QtDialogs::openFiles(const OpenFileRequest& request)
{
    // A dialog made afresh for every showing: no name is carried over from the last one.
    QFileDialog dialog(owner_, request.title);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.selectedFilter);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtDialogs::pickFolder(const QString& prompt, const QString& startFolder)
{
    // A start folder that is gone opens the dialog without a selection.
    const QString start = QFileInfo(startFolder).isDir() ? startFolder : QString();
    return QFileDialog::getExistingDirectory(owner_, prompt, start, QFileDialog::ShowDirsOnly);
}

}  // namespace platform
