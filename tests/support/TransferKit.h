// Helpers of the transfer suites: answered file dialogs, a linked processor, fast pacing, file bytes.
#pragma once

#include "FileDialogs.h"
#include "TestRig.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <vector>

class TransferKit
{
public:
    // Answers every file dialog from `paths` (front first; empty = cancelled) and records it.
    explicit TransferKit(TestRig &rig);
    ~TransferKit();
    TransferKit(const TransferKit &) = delete;
    TransferKit &operator=(const TransferKit &) = delete;

    TestRig &rig;
    QList<FileDialogs::Request> dialogs;
    std::deque<QString> paths;

    // Opens the processor and marks it identified, without the download (the link is then idle).
    void linkUp();

    // Payloads the processor received with this class and code, in order.
    std::vector<QByteArray> sentWith(uint8_t cls, uint8_t code) const;
    // Texts of the boxes shown so far.
    QStringList noticeTexts() const;
    // Texts of the information boxes shown so far (questions left out).
    QStringList infoTexts() const;

    // The store's bytes, a stored scene's and the processor memory's.
    static QByteArray storeBytes(int from, int n);
    static QByteArray simScene(const SimProcessor &sim, int k);
    static QByteArray simMemory(const SimProcessor &sim, int from, int n);
    // A valid single-scene file: the store's defaults with a few changes, in the processor's
    // encoding, and a recognisable tail.
    static QByteArray singleSceneFile();
    // Nine scenes in the processor's encoding, each different, with tails that are not zero.
    static QByteArray allScenesFile();

    static void writeFile(const QString &path, const QByteArray &bytes);
    // Writes bytes to the file name in dir and returns its path.
    static QString fileIn(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes);
    // A firmware image of size bytes: "MVO" and a pattern.
    static QByteArray firmwareImage(int size);
    static QByteArray readFile(const QString &path);
    // Bytes 0, 1, 2, ... (mod 251) starting at seed.
    static QByteArray pattern(int size, int seed);
};
