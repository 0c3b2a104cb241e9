// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/Mp3Encoder.h"

#include "platform/AtomicFile.h"
#include "recording/WavFileReader.h"

#include <QFile>
#include <QLibrary>

#include <lame/lame.h>
#include <taglib/tag_c.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

void writeEncoded(QFile& out, const unsigned char* data, int length) {
    if (length < 0)
        throw std::runtime_error("the MP3 encoder failed");
    writeAll(out, reinterpret_cast<const char*>(data), length);
}

void encodeAudio(const QString& wavPath, QFile& out) {
    WavFileReader in(wavPath);
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame)
        throw std::runtime_error("the MP3 encoder cannot start");
    lame_set_in_samplerate(lame.get(), 44100);
    lame_set_num_channels(lame.get(), 2);
    lame_set_out_samplerate(lame.get(), 44100);
    lame_set_brate(lame.get(), 128);
    lame_set_mode(lame.get(), STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_bWriteVbrTag(lame.get(), 0);
    lame_set_disable_reservoir(lame.get(), 1);
    lame_set_error_protection(lame.get(), 0);
    lame_set_copyright(lame.get(), 0);
    lame_set_original(lame.get(), 1);
    lame_set_extension(lame.get(), 0);
    lame_set_strict_ISO(lame.get(), 0);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0)
        throw std::runtime_error("the MP3 encoder refused its settings");

    constexpr int kFrames = 1152 * 8;
    std::vector<qint16> pcm(kFrames * 2);
    std::vector<unsigned char> mp3(kFrames * 5 / 4 + 7200);
    for (qsizetype frames; (frames = in.read(pcm.data(), kFrames)) > 0;)
        writeEncoded(out, mp3.data(),
                     lame_encode_buffer_interleaved(lame.get(), pcm.data(), int(frames), mp3.data(),
                                                    int(mp3.size())));
    writeEncoded(out, mp3.data(), lame_encode_flush(lame.get(), mp3.data(), int(mp3.size())));

    unsigned char id3v1[128] = {'T', 'A', 'G'};
    writeEncoded(out, id3v1, sizeof id3v1);
}

// TagLib's C interface, loaded at the first title written rather than with the program (a
// megabyte that an idle program does without). Where it cannot be loaded, the MP3 goes without
// a title. CORVINATONE_TAGLIB names another library file.
struct TagLibC {
    decltype(&taglib_set_strings_unicode) setStringsUnicode;
    decltype(&taglib_set_string_management_enabled) setStringManagementEnabled;
    decltype(&taglib_file_new_type) fileNewType;
    decltype(&taglib_file_tag) fileTag;
    decltype(&taglib_tag_set_title) setTitle;
    decltype(&taglib_tag_set_genre) setGenre;
    decltype(&taglib_tag_set_artist) setArtist;
    decltype(&taglib_tag_set_album) setAlbum;
    decltype(&taglib_file_save) fileSave;
    decltype(&taglib_file_free) fileFree;
};

template <typename Function>
bool resolve(QLibrary& library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

std::optional<TagLibC> resolveTagLib(QLibrary& library) {
    TagLibC t{};
    if (library.load() && resolve(library, "taglib_set_strings_unicode", t.setStringsUnicode) &&
        resolve(library, "taglib_set_string_management_enabled", t.setStringManagementEnabled) &&
        resolve(library, "taglib_file_new_type", t.fileNewType) &&
        resolve(library, "taglib_file_tag", t.fileTag) &&
        resolve(library, "taglib_tag_set_title", t.setTitle) &&
        resolve(library, "taglib_tag_set_genre", t.setGenre) &&
        resolve(library, "taglib_tag_set_artist", t.setArtist) &&
        resolve(library, "taglib_tag_set_album", t.setAlbum) &&
        resolve(library, "taglib_file_save", t.fileSave) &&
        resolve(library, "taglib_file_free", t.fileFree)) {
        t.setStringsUnicode(1);
        t.setStringManagementEnabled(0);
        return t;
    }
    return std::nullopt;
}

// Looked up for each title: a library once loaded stays (QLibrary never unloads it), and finding
// ten functions costs nothing next to an encoding.
std::optional<TagLibC> loadTagLib(const QString& file) {
    if (!file.isEmpty()) {
        QLibrary library(file);
        return resolveTagLib(library);
    }
    for (const int version : {0, 2}) {  // TagLib 1 and 2
        QLibrary library(QStringLiteral("tag_c"), version);
        if (std::optional<TagLibC> t = resolveTagLib(library))
            return t;
    }
    return std::nullopt;
}

void setTitle(const QString& mp3Path, const QString& title) {
    const std::optional<TagLibC> taglib = loadTagLib(qEnvironmentVariable("CORVINATONE_TAGLIB"));
    if (!taglib)
        return;
    TagLib_File* file =
        taglib->fileNewType(QFile::encodeName(mp3Path).constData(), TagLib_File_MPEG);
    if (!file)
        throw std::runtime_error(mp3Path.toStdString() + ": TagLib cannot open it");
    if (TagLib_Tag* tag = taglib->fileTag(file)) {
        taglib->setTitle(tag, title.toUtf8().constData());
        // An all-zero ID3v1 genre byte means "Blues"; an empty genre claims none in either tag.
        taglib->setGenre(tag, "");
        taglib->setArtist(tag, "");
        taglib->setAlbum(tag, "");
    }
    const bool saved = taglib->fileSave(file);
    taglib->fileFree(file);
    if (!saved)
        throw std::runtime_error(mp3Path.toStdString() + ": the title could not be written");
}

}  // namespace

namespace Mp3Encoder {

void encode(const QString& wavPath, const QString& mp3Path, const QString& title) {
    QFile out(mp3Path);
    // Never over an existing file; and only a file made here is removed on failure.
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw std::runtime_error(mp3Path.toStdString() + ": " + out.errorString().toStdString());
    try {
        encodeAudio(wavPath, out);
        out.close();
        setTitle(mp3Path, title);
    } catch (...) {
        QFile::remove(mp3Path);
        throw;
    }
}

}  // namespace Mp3Encoder
