// SPDX-License-Identifier: GPL-3.0-or-later
// The WMA encoder as a module of its own, loaded at the first WMA recording: FFmpeg and the
// libraries it brings load only then, not at every start of the program.
#include "recording/WmaEncoder.h"

#include "recording/WavFileReader.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void check(int result, const char* what) {
    if (result < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(result, text, sizeof text);
        throw std::runtime_error(std::string(what) + ": " + text);
    }
}

// Everything FFmpeg hands out, released in the right order whatever happens.
struct Session {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;

    ~Session() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        swr_free(&resampler);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
};

void drain(Session& s, AVStream* stream) {
    for (;;) {
        const int result = avcodec_receive_packet(s.codec, s.packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        check(result, "encoding");
        av_packet_rescale_ts(s.packet, s.codec->time_base, stream->time_base);
        s.packet->stream_index = stream->index;
        check(av_interleaved_write_frame(s.format, s.packet), "writing");
    }
}

void encodeFile(const QString& wavPath, const QString& wmaPath, const QString& title) {
    WavFileReader in(wavPath);
    Session s;
    const QByteArray path = QFile::encodeName(wmaPath);
    check(avformat_alloc_output_context2(&s.format, nullptr, "asf", path.constData()),
          "ASF output");
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!encoder)
        throw std::runtime_error("no WMA encoder in this FFmpeg");
    AVStream* stream = avformat_new_stream(s.format, nullptr);
    s.codec = avcodec_alloc_context3(encoder);
    if (!stream || !s.codec)
        throw std::runtime_error("out of memory");
    s.codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    s.codec->sample_rate = 44100;
    av_channel_layout_default(&s.codec->ch_layout, 2);
    s.codec->bit_rate = 128000;
    s.codec->time_base = AVRational{1, 44100};
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER)
        s.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(s.codec, encoder, nullptr), "opening the WMA encoder");
    check(avcodec_parameters_from_context(stream->codecpar, s.codec), "stream parameters");
    stream->time_base = s.codec->time_base;
    av_dict_set(&s.format->metadata, "title", title.toUtf8().constData(), 0);
    check(avio_open(&s.format->pb, path.constData(), AVIO_FLAG_WRITE),
          wmaPath.toUtf8().constData());
    check(avformat_write_header(s.format, nullptr), "writing the header");

    check(swr_alloc_set_opts2(&s.resampler, &s.codec->ch_layout, AV_SAMPLE_FMT_FLTP, 44100,
                              &s.codec->ch_layout, AV_SAMPLE_FMT_S16, 44100, 0, nullptr),
          "resampler");
    check(swr_init(s.resampler), "resampler");
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.frame || !s.packet)
        throw std::runtime_error("out of memory");
    const int frameSize = s.codec->frame_size;
    s.frame->nb_samples = frameSize;
    s.frame->format = AV_SAMPLE_FMT_FLTP;
    s.frame->sample_rate = 44100;
    check(av_channel_layout_copy(&s.frame->ch_layout, &s.codec->ch_layout), "frame layout");
    check(av_frame_get_buffer(s.frame, 0), "frame buffer");

    std::vector<qint16> pcm(size_t(frameSize) * 2);
    qint64 pts = 0;
    for (qsizetype frames; (frames = in.read(pcm.data(), frameSize)) > 0;) {
        // The encoder takes whole frames only: the last one is padded with silence.
        std::fill(pcm.begin() + frames * 2, pcm.end(), 0);
        check(av_frame_make_writable(s.frame), "frame");
        const auto* input = reinterpret_cast<const uint8_t*>(pcm.data());
        check(swr_convert(s.resampler, s.frame->data, frameSize, &input, frameSize), "converting");
        s.frame->pts = pts;
        pts += frameSize;
        check(avcodec_send_frame(s.codec, s.frame), "encoding");
        drain(s, stream);
    }
    check(avcodec_send_frame(s.codec, nullptr), "encoding");
    drain(s, stream);
    check(av_write_trailer(s.format), "writing the end");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int corvinatone_wma_encode(
    const char* wavPath, const char* wmaPath, const char* title, char* error, size_t errorSize) {
    const QString output = QString::fromUtf8(wmaPath);
    try {
        if (QFile::exists(output))
            throw std::runtime_error(std::string(wmaPath) + ": exists already");
        try {
            encodeFile(QString::fromUtf8(wavPath), output, QString::fromUtf8(title));
        } catch (...) {
            QFile::remove(output);
            throw;
        }
        return 0;
    } catch (const std::exception& e) {
        std::snprintf(error, errorSize, "%s", e.what());
    } catch (...) {
        std::snprintf(error, errorSize, "WMA encoding failed");
    }
    return 1;
}
