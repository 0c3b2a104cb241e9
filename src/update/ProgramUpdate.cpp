// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/ProgramUpdate.h"

#include "AppInfo.h"
#include "online/Downloads.h"
#include "platform/AtomicFile.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "setting/ServerAddresses.h"
#include "update/UpdateTexts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>

#include <elf.h>

namespace {

const char kDescriptor[] = "update.xml";

// An ELF executable of the machine this program runs on.
bool runsHere(const QByteArray& body) {
    if (body.size() < qsizetype(sizeof(Elf64_Ehdr)) || !body.startsWith(ELFMAG))
        return false;
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(body.constData());
#if defined(__x86_64__)
    constexpr int kMachine = EM_X86_64;
#elif defined(__aarch64__)
    constexpr int kMachine = EM_AARCH64;
#else
    constexpr int kMachine = -1;
#endif
    return header->e_ident[EI_CLASS] == ELFCLASS64 && header->e_machine == kMachine &&
           (header->e_type == ET_EXEC || header->e_type == ET_DYN);
}

}  // namespace

ProgramUpdate::ProgramUpdate(Services services, Hooks hooks, QObject* parent)
    : QObject(parent), services_(std::move(services)), hooks_(std::move(hooks)) {}

qint64 ProgramUpdate::runningVersion() {
    return AppInfo::version().remove(u'.').toLongLong();
}

QString ProgramUpdate::path(const char* name) const {
    return QDir(services_.folder).filePath(QLatin1String(name));
}

void ProgramUpdate::checkupdate() {
    if (busy_)
        return;
    busy_ = true;
    services_.downloads.get(QUrl(ServerAddresses::base() + QStringLiteral("/update.xml")),
                            Downloads::kDescriptor,
                            [this](const QByteArray& body, const QString& error) {
                                if (error.isEmpty())
                                    descriptorArrived(body);
                                busy_ = false;  // a descriptor that did not come: nothing said
                            });
}

void ProgramUpdate::descriptorArrived(const QByteArray& body) {
    std::optional<UpdateDescriptor> descriptor;
    try {
        writeFileAtomically(path(kDescriptor), body);
        descriptor = UpdateDescriptor::parse(body);
    } catch (const std::exception&) {
    }
    const std::optional<qint64> offered = descriptor ? descriptor->number(0) : std::nullopt;
    if (!offered) {
        // The descriptor stays on disk until the next check or the exit.
        services_.dialogs.message(AppInfo::title(), UpdateTexts::failed(),
                                  Dialogs::Icon::information);
        return;
    }
    if (*offered > runningVersion())
        hooks_.offer(*descriptor);
    else
        services_.dialogs.message(AppInfo::title(), UpdateTexts::upToDate(),
                                  Dialogs::Icon::information);
    QFile::remove(path(kDescriptor));
}

void ProgramUpdate::Label4Click() {
    services_.desktop.openUrl(QUrl(ServerAddresses::base() + QStringLiteral("/setup.exe")));
}

void ProgramUpdate::Button1Click(const UpdateDescriptor& descriptor,
                                 std::function<void(qint64, qint64)> progress,
                                 std::function<void(bool)> finished) {
    // Only a portable copy (its folder holds its catalogue and can be written) replaces itself:
    // an installed program belongs to the package manager, and the browser gets the download page.
    const QDir folder = QFileInfo(services_.programFile).absoluteDir();
    QTemporaryFile probe(folder.filePath(QStringLiteral(".corvinatone-XXXXXX")));
    if (!folder.exists(QStringLiteral("rd.cds")) || !probe.open()) {
        services_.desktop.openUrl(QUrl(ServerAddresses::downloadPage()));
        finished(false);
        return;
    }
    probe.close();
    const std::optional<QString> digest = descriptor.value(3);
    auto announced = std::make_shared<qint64>(-1);
    services_.downloads.get(
        QUrl(ServerAddresses::base() + QStringLiteral("/Corvinatone.exe")), Downloads::kProgram,
        [this, digest, announced, finished](const QByteArray& body, const QString& error) {
            const QString why =
                error.isEmpty() ? install(body, *announced, digest, services_.programFile) : error;
            if (!why.isEmpty()) {
                services_.dialogs.message(AppInfo::title(),
                                          UpdateTexts::failed() + QStringLiteral("\n\n") + why,
                                          Dialogs::Icon::error);
                finished(false);
                return;
            }
            services_.dialogs.message(AppInfo::title(), UpdateTexts::succeeded(),
                                      Dialogs::Icon::information);
            finished(true);
            services_.endRun();
            QFile::remove(path(kDescriptor));
        },
        [progress, announced](qint64 received, qint64 total) {
            *announced = total;
            if (progress)
                progress(received, total);
        });
}

QString ProgramUpdate::install(const QByteArray& body, qint64 announced,
                               const std::optional<QString>& sha256, const QString& programFile) {
    if (announced >= 0 && body.size() != announced)
        return UpdateTexts::cutShort(body.size(), announced);
    if (sha256) {
        const QString wanted = sha256->trimmed().toLower();
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
        if (!hex.match(wanted).hasMatch() ||
            QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() != wanted.toLatin1())
            return UpdateTexts::wrongDigest();
    }
    if (!runsHere(body))
        return UpdateTexts::notAProgram();

    const QString staged = programFile + QStringLiteral(".new");
    const QString aside = QFileInfo(programFile).dir().filePath(QStringLiteral("corvinatone.old"));
    try {
        writeFileAtomically(staged, body);
    } catch (const std::exception& e) {
        QFile::remove(staged);
        return QString::fromUtf8(e.what());
    }
    if (!QFile::setPermissions(staged, QFile::permissions(staged) | QFile::ExeOwner |
                                           QFile::ExeGroup | QFile::ExeOther | QFile::ReadGroup |
                                           QFile::ReadOther)) {
        QFile::remove(staged);
        return UpdateTexts::notExecutable(staged);
    }
    QFile::remove(aside);
    if (QFile::exists(programFile) && !QFile::rename(programFile, aside)) {
        QFile::remove(staged);
        return UpdateTexts::cannotMoveAside(programFile);
    }
    if (!QFile::rename(staged, programFile)) {
        QFile::rename(aside, programFile);  // the old program stays the one that starts
        QFile::remove(staged);
        return UpdateTexts::cannotReplace(programFile);
    }
    return {};
}
