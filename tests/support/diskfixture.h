#pragma once

#include "core/platform/paths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

// Real files in a temporary folder.
struct Disk {
    QTemporaryDir dir;
    // The folder goes with its contents, also names that are not UTF-8
    // (which the temporary folder's own cleanup cannot see).
    ~Disk() {
        std::error_code ec;
        std::filesystem::remove_all(QFile::encodeName(dir.path()).toStdString(), ec);
    }
    QString root() const { return dir.path(); }
    QString path(const QString& rel) const { return dir.path() + u'/' + rel; }
    // Creates a file (and its folders) holding `bytes` bytes.
    QString file(const QString& rel, int bytes = 1) const {
        const QString p = path(rel);
        QDir().mkpath(vorlane::folderPart(p));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << p.toStdString();
        f.write(QByteArray(bytes, 'x'));
        return p;
    }
    QString folder(const QString& rel) const {
        QDir().mkpath(path(rel));
        return path(rel);
    }
    // A file whose name is given as raw bytes, which need not be UTF-8.
    QString rawFile(const QByteArray& name) const {
        const QByteArray p = QFile::encodeName(dir.path()) + '/' + name;
        const int fd = ::open(p.constData(), O_WRONLY | O_CREAT, 0644);
        EXPECT_GE(fd, 0);
        ::close(fd);
        return vorlane::decodeName(p);
    }
    bool exists(const QString& rel) const { return QFile::exists(path(rel)); }
    // Replaces the file at the full path `p` with `bytes`.
    void write(const QString& p, const QByteArray& bytes) const {
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << p.toStdString();
        f.write(bytes);
    }
    QByteArray read(const QString& p) const {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
