#include "platform/uno/document_locks.h"

#include "platform/uno/local_uno.h"
#include "platform/uno/uno_text.h"

#include <com/sun/star/reflection/XIdlField2.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace platform::uno {

namespace {
void Collect(const css::uno::Any& value, const LocalUno& local, int depth, QStringList& files)
{
    if (depth > 4)
        return;
    switch (value.getValueTypeClass()) {
    case css::uno::TypeClass_STRING: {
        const QString text = FromUno(*static_cast<const rtl::OUString*>(value.getValue()));
        if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const QUrl url(text);
            if (url.isLocalFile())
                files << url.toLocalFile();
        }
        break;
    }
    case css::uno::TypeClass_SEQUENCE: {
        const css::uno::Any items =
            local.converter->convertTo(value, cppu::UnoType<css::uno::Sequence<css::uno::Any>>::get());
        for (const css::uno::Any& item : *static_cast<const css::uno::Sequence<css::uno::Any>*>(items.getValue()))
            Collect(item, local, depth + 1, files);
        break;
    }
    case css::uno::TypeClass_STRUCT: {
        const auto type = local.reflection->forName(value.getValueTypeName());
        if (!type.is())
            break;
        for (const auto& field : type->getFields()) {
            css::uno::Reference<css::reflection::XIdlField2> member(field, css::uno::UNO_QUERY);
            if (member.is())
                Collect(member->get(value), local, depth + 1, files);
        }
        break;
    }
    default: break;
    }
}

// The profile URL that a lock file names: its fifth comma-separated field,
// with the backslash escapes that the office writes undone.
QString OwnerProfileOf(const QString& lockFile)
{
    QFile file(lockFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString content = QString::fromUtf8(file.read(64 * 1024));
    QStringList fields{QString()};
    for (qsizetype i = 0; i < content.size(); ++i) {
        const QChar c = content.at(i);
        if (c == QLatin1Char('\\') && i + 1 < content.size())
            fields.last() += content.at(++i);
        else if (c == QLatin1Char(','))
            fields << QString();
        else if (c == QLatin1Char(';'))
            break;
        else
            fields.last() += c;
    }
    return fields.size() >= 5 ? fields.at(4) : QString();
}

QString WithoutTrailingSlash(QString url)
{
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}
}  // namespace

QStringList FilesNamedIn(const css::uno::Any& value, const LocalUno& local)
{
    QStringList files;
    try {
        Collect(value, local, 0, files);
    } catch (const css::uno::Exception&) {
        // What could not be looked into names no file we know of.
    }
    return files;
}

QString LockFileOf(const QString& file)
{
    const QFileInfo info(file);
    return info.path() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#');
}

void RemoveStaleLocks(const std::set<QString>& files, const QString& profileUrl)
{
    const QString ours = WithoutTrailingSlash(profileUrl);
    for (const QString& file : files) {
        const QString lock = LockFileOf(file);
        if (QFileInfo(lock).isFile() && WithoutTrailingSlash(OwnerProfileOf(lock)) == ours)
            QFile::remove(lock);
    }
}

}  // namespace platform::uno
