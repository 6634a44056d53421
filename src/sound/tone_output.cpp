// SPDX-License-Identifier: GPL-3.0-or-later
#include "tone_output.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTimer>

namespace Sound {

QAudioFormat ChoosePlaybackFormat(const Tone& tone, const QAudioDevice& device) {
  QAudioFormat format;
  format.setSampleRate(tone.sampleRate);
  format.setChannelCount(std::min(tone.channels, 2));
  for (auto sampleFormat : {QAudioFormat::Int16, QAudioFormat::Float}) {
    format.setSampleFormat(sampleFormat);
    if (device.isFormatSupported(format)) return format;
  }
  return device.preferredFormat();
}

namespace {

class DeviceOutput : public ToneOutput {
 public:
  DeviceOutput() {
    release_.setSingleShot(true);
    QObject::connect(&release_, &QTimer::timeout, [this] {
      if (sink_) sink_->stop();
    });
  }

  void Play(const std::shared_ptr<const Tone>& tone) override {
    // Stopping drops what the sink still holds: the new tone cuts the old one off.
    if (sink_) sink_->stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
      sink_.reset();
      return;
    }
    const QAudioFormat format = ChoosePlaybackFormat(*tone, device);
    if (!format.isValid()) return;
    // A fresh stream per tone, on whatever the default device is now, in the tone's own format.
    sink_.reset();
    sink_ = std::make_unique<QAudioSink>(device, format);
    if (converted_.lock() != tone || convertedFormat_ != format) {
      pcm_ = ConvertTone(*tone, format);
      converted_ = tone;
      convertedFormat_ = format;
    }
    buffer_.close();
    buffer_.setData(pcm_);
    buffer_.open(QIODevice::ReadOnly);
    sink_->start(&buffer_);
    // The sink runs dry (idle) while the server still plays what it holds, so the stream is given back
    // only once the tone has surely ended.
    const qint64 ms = format.durationForBytes(pcm_.size()) / 1000;
    release_.start(int(std::min<qint64>(ms, 24 * 3600 * 1000)) + 5000);
  }

 private:
  QBuffer buffer_;  // before the sink, which reads it until it is gone
  std::unique_ptr<QAudioSink> sink_;
  std::weak_ptr<const Tone> converted_;
  QAudioFormat convertedFormat_;
  QByteArray pcm_;
  QTimer release_;
};

}  // namespace

std::unique_ptr<ToneOutput> MakeDeviceOutput() { return std::make_unique<DeviceOutput>(); }

}  // namespace Sound
