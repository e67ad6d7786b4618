#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testing_support {

// A folder tree in a temporary folder, made from relative paths: a path
// ending with "/" is a folder, anything else a file holding its own name.
class TempTree {
public:
    explicit TempTree(const QStringList& paths = {})
    {
        for (const QString& path : paths)
            Add(path);
    }

    void Add(const QString& path)
    {
        const QString full = root() + "/" + path;
        if (path.endsWith('/')) {
            QDir().mkpath(full);
            return;
        }
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
        file.write(path.toUtf8());
    }

    QString root() const { return dir_.path(); }
    QString operator/(const QString& relative) const { return root() + "/" + relative; }

private:
    QTemporaryDir dir_;
};

}  // namespace testing_support
