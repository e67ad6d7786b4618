// A second start of the program hands its files to the window already open.
#include "app/single_instance.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SingleInstance, ASecondStartHandsItsFilesToTheOpenWindowAndNoneWithoutOne)
{
    QTemporaryDir runtime;
    const QString name = runtime.path() + "/quillmere-window";
    app::SingleInstance alone(name);
    EXPECT_FALSE(alone.HandOver({"/a.ods"}));  // no window is open

    app::SingleInstance window(name);
    ASSERT_TRUE(window.Listen());
    QSignalSpy arrived(&window, &app::SingleInstance::filesArrived);
    app::SingleInstance second(name);
    EXPECT_TRUE(second.HandOver({"/in/b.ods", "/in/new\nline.ods", "/in/folder"}));
    ASSERT_TRUE(arrived.wait(5000));
    EXPECT_EQ(arrived.at(0).at(0).toStringList(), (QStringList{"/in/b.ods", "/in/new\nline.ods", "/in/folder"}));
    EXPECT_TRUE(second.HandOver({}));  // a start with no files only finds the window
    ASSERT_TRUE(arrived.wait(5000));
    EXPECT_TRUE(arrived.at(1).at(0).toStringList().isEmpty());

    // A socket left by a window that ended without closing it does not stop the next one.
    QFile stale(runtime.path() + "/stale");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    app::SingleInstance next(runtime.path() + "/stale");
    EXPECT_TRUE(next.Listen());
}
