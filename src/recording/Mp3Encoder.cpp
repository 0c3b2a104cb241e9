// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/Mp3Encoder.h"

#include "platform/AtomicFile.h"
#include "recording/WavFileReader.h"

#include <QFile>

#include <lame/lame.h>
#include <taglib/tag_c.h>

#include <memory>
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

void setTitle(const QString& mp3Path, const QString& title) {
    taglib_set_strings_unicode(1);
    taglib_set_string_management_enabled(0);
    TagLib_File* file =
        taglib_file_new_type(QFile::encodeName(mp3Path).constData(), TagLib_File_MPEG);
    if (!file)
        throw std::runtime_error(mp3Path.toStdString() + ": TagLib cannot open it");
    if (TagLib_Tag* tag = taglib_file_tag(file)) {
        taglib_tag_set_title(tag, title.toUtf8().constData());
        // An all-zero ID3v1 genre byte means "Blues"; an empty genre claims none in either tag.
        taglib_tag_set_genre(tag, "");
        taglib_tag_set_artist(tag, "");
        taglib_tag_set_album(tag, "");
    }
    const bool saved = taglib_file_save(file);
    taglib_file_free(file);
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
