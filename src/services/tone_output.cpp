#include "tone_output.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

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
    if (!sink_ || device != device_ || format != format_) {
      sink_ = std::make_unique<QAudioSink>(device, format);
      device_ = device;
      format_ = format;
      // Give the stream back once the tone has run out; queued so the sink is not stopped inside its own signal.
      QObject::connect(
          sink_.get(), &QAudioSink::stateChanged, sink_.get(),
          [sink = sink_.get()](QAudio::State) {
            if (sink->state() == QAudio::IdleState) sink->stop();
          },
          Qt::QueuedConnection);
    }
    if (converted_.lock() != tone || convertedFormat_ != format) {
      pcm_ = ConvertTone(*tone, format);
      converted_ = tone;
      convertedFormat_ = format;
    }
    buffer_.close();
    buffer_.setData(pcm_);
    buffer_.open(QIODevice::ReadOnly);
    sink_->start(&buffer_);
  }

 private:
  std::unique_ptr<QAudioSink> sink_;
  QAudioDevice device_;
  QAudioFormat format_;
  QBuffer buffer_;
  std::weak_ptr<const Tone> converted_;
  QAudioFormat convertedFormat_;
  QByteArray pcm_;
};

}  // namespace

std::unique_ptr<ToneOutput> MakeDeviceOutput() { return std::make_unique<DeviceOutput>(); }

}  // namespace Sound
