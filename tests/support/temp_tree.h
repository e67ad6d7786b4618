#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A chain of folders, each named name, levels deep below root: deep enough,
// it reaches past the system's path limit, which only relative calls cross.
// Its destructor removes it the same way.
class DeepFolders {
public:
    DeepFolders(const QString& root, const QString& name, int levels) : root_(root), name_(name.toLocal8Bit())
    {
        int folder = open(root.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < levels && folder >= 0; ++level) {
            mkdirat(folder, name_.constData(), 0755);
            const int inner = openat(folder, name_.constData(), O_RDONLY | O_DIRECTORY);
            close(folder);
            folder = inner;
            ++levels_;
        }
        if (folder >= 0)
            close(folder);
    }
    ~DeepFolders() { Remove(open(root_.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY), levels_); }

    // Makes a file of the given bytes in the deepest folder.
    void AddFile(const QByteArray& name, const QByteArray& content) const
    {
        int folder = open(root_.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < levels_; ++level) {
            const int inner = openat(folder, name_.constData(), O_RDONLY | O_DIRECTORY);
            close(folder);
            folder = inner;
        }
        const int file = openat(folder, name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_EQ(write(file, content.constData(), content.size()), content.size());
        close(file);
        close(folder);
    }

private:
    // Empties and removes the chain below folder (which it closes).
    void Remove(int folder, int levels) const
    {
        if (levels > 0) {
            const int inner = openat(folder, name_.constData(), O_RDONLY | O_DIRECTORY);
            if (inner >= 0) {
                if (DIR* listing = fdopendir(dup(inner))) {
                    while (const dirent* entry = readdir(listing))
                        if (entry->d_type != DT_DIR)
                            unlinkat(inner, entry->d_name, 0);
                    closedir(listing);
                }
                Remove(inner, levels - 1);
            }
            unlinkat(folder, name_.constData(), AT_REMOVEDIR);
        }
        close(folder);
    }

    QString root_;
    QByteArray name_;
    int levels_ = 0;
};

}  // namespace testing_support
