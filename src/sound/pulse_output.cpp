// SPDX-License-Identifier: GPL-3.0-or-later
#include "pulse_output.h"

#include <pulse/context.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <algorithm>

namespace Sound {
namespace {

// The desktop entry is foldwarn.desktop, and its icon is named the same: a mixer shows both.
constexpr char ApplicationName[] = "Foldwarn";
constexpr char ApplicationId[] = "foldwarn";
constexpr char IconName[] = "foldwarn";

// One context on a loop thread of its own for the program's life, and one stream per tone. Everything below
// runs with the loop locked: from play(), or on the loop's thread in a callback.
class PulseOutput final : public ToneOutput {
 public:
  PulseOutput() = default;
  PulseOutput(const PulseOutput&) = delete;
  PulseOutput& operator=(const PulseOutput&) = delete;

  ~PulseOutput() override {
    if (!loop_) return;
    pa_threaded_mainloop_lock(loop_);
    dropStream();
    dropContext();
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
  }

  bool play(const std::shared_ptr<const Tone>& tone, const QString& name) override {
    if (tone->channels <= 0 || tone->channels > int(PA_CHANNELS_MAX) || tone->sampleRate <= 0) return false;
    if (const StreamFormat s = streamFormat(*tone); !pa_sample_spec_valid(&s.sample)) return false;
    if (!loop_ && !startLoop()) return true;
    pa_threaded_mainloop_lock(loop_);
    dropStream();  // a new tone cuts off the one still sounding
    pending_ = tone;
    pendingName_ = name.toUtf8();
    // A server that went away left no context behind: the next tone connects afresh.
    if (!context_)
      connect();
    else if (pa_context_get_state(context_) == PA_CONTEXT_READY)
      startStream();
    pa_threaded_mainloop_unlock(loop_);
    return true;
  }

 private:
  struct StreamFormat {
    pa_sample_spec sample;
    pa_channel_map map;
  };

  // The decoded samples as they are: the server converts and resamples for its device.
  static StreamFormat streamFormat(const Tone& tone) {
    StreamFormat s{{PA_SAMPLE_FLOAT32NE, uint32_t(tone.sampleRate), uint8_t(tone.channels)}, {}};
    pa_channel_map_init_extend(&s.map, s.sample.channels, PA_CHANNEL_MAP_WAVEEX);
    return s;
  }

  bool startLoop() {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return false;
    pa_threaded_mainloop_set_name(loop_, "foldwarn-pulse");
    if (pa_threaded_mainloop_start(loop_) == 0) return true;
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
    return false;
  }

  void connect() {
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, ApplicationName);
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, ApplicationId);
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, IconName);
    pa_proplist_sets(props, PA_PROP_APPLICATION_VERSION, FOLDWARN_VERSION);
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), ApplicationName, props);
    pa_proplist_free(props);
    if (!context_) return;
    pa_context_set_state_callback(context_, &PulseOutput::contextChanged, this);
    // No server is started for us: without one the tones are silent.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) dropContext();
  }

  void dropContext() {
    pending_.reset();
    if (!context_) return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }

  static void contextChanged(pa_context* context, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    switch (pa_context_get_state(context)) {
      case PA_CONTEXT_READY:
        if (out->pending_) out->startStream();
        break;
      case PA_CONTEXT_FAILED:
      case PA_CONTEXT_TERMINATED:
        out->dropStream();
        out->dropContext();
        break;
      default:
        break;
    }
  }

  void startStream() {
    playing_ = std::move(pending_);
    pending_.reset();
    written_ = 0;
    draining_ = false;
    const StreamFormat s = streamFormat(*playing_);
    pa_proplist* props = pa_proplist_new();
    // The role makes it an alert to the desktop: the alert volume and the event sound settings apply.
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "event");
    pa_proplist_sets(props, PA_PROP_MEDIA_NAME, pendingName_.constData());
    stream_ = pa_stream_new_with_proplist(context_, pendingName_.constData(), &s.sample, &s.map, props);
    pa_proplist_free(props);
    if (!stream_) {
      playing_.reset();
      return;
    }
    pa_stream_set_state_callback(stream_, &PulseOutput::streamChanged, this);
    pa_stream_set_write_callback(stream_, &PulseOutput::writeWanted, this);
    if (pa_stream_connect_playback(stream_, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0) dropStream();
  }

  // Disconnecting makes the server drop at once what it still holds of the tone.
  void dropStream() {
    if (!stream_) return;
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
    playing_.reset();
  }

  static void streamChanged(pa_stream* stream, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (stream == out->stream_ && (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)) out->dropStream();
  }

  // The server asks for as much as fits its buffer; a long tone goes in several parts.
  static void writeWanted(pa_stream* stream, size_t bytes, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    if (stream != out->stream_ || !out->playing_) return;
    const std::vector<float>& samples = out->playing_->samples;
    const size_t channels = size_t(out->playing_->channels);
    size_t count = std::min(samples.size() - out->written_, bytes / sizeof(float));
    count -= count % channels;
    if (count > 0) {
      void* data = nullptr;
      size_t size = count * sizeof(float);
      if (pa_stream_begin_write(stream, &data, &size) < 0 || !data) return;
      count = std::min(count, size / sizeof(float));
      count -= count % channels;
      if (count == 0) {
        pa_stream_cancel_write(stream);
        return;
      }
      // Float files may go beyond full scale; they are clipped here as a sound card would.
      const float* from = samples.data() + out->written_;
      std::transform(from, from + count, static_cast<float*>(data), [](float v) { return std::clamp(v, -1.0f, 1.0f); });
      if (pa_stream_write(stream, data, count * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
      out->written_ += count;
    }
    if (out->written_ == samples.size() && !out->draining_) {
      // Drained, the stream goes: the mixer shows Foldwarn only while a tone sounds. A short tone that
      // fills less than the server's start threshold starts with the drain too.
      out->draining_ = true;
      if (pa_operation* op = pa_stream_drain(stream, &PulseOutput::drained, out)) pa_operation_unref(op);
    }
  }

  static void drained(pa_stream* stream, int, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    if (stream == out->stream_) out->dropStream();
  }

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  std::shared_ptr<const Tone> pending_;  // asked for before the context was ready
  QByteArray pendingName_;
  std::shared_ptr<const Tone> playing_;  // what stream_ reads from
  size_t written_ = 0;                   // samples of playing_ handed to the server
  bool draining_ = false;
};

}  // namespace

std::unique_ptr<ToneOutput> MakePulseOutput() { return std::make_unique<PulseOutput>(); }

}  // namespace Sound
