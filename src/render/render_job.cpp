#include "render/render_job.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "anim/playback.h"
#include "document/group_edit.h"
#include "render/render_image.h"
#include "scene/key_store.h"
#include "view/gl_state.h"
#include "view/projection.h"
#include "view/scene_draw.h"

namespace modra {

namespace {

using Clock = RenderTimes::Clock;

// Grows a buffer without letting an allocation failure end the process.
bool Reserve(std::vector<uint8_t>& buffer, size_t size) {
  try {
    buffer.resize(size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

DisplayBeforeRender PrepareDocumentForRender(Document& doc) {
  const DisplayBeforeRender before{doc.display.currentView, doc.display.lightDisplay,
                                   doc.scene.anim.currentFrame};
  doc.display.currentView = kViewCamera;
  doc.display.lightDisplay = false;
  DeselectAll(doc);
  NotifyChanged(doc, kDisplayChanged);
  return before;
}

void RestoreDocumentAfterRender(Document& doc, const DisplayBeforeRender& before) {
  const ChangeBatch batch(doc);
  doc.display.currentView = before.view;
  doc.display.lightDisplay = before.lightDisplay;
  GoToFrame(doc, before.frame);
  NotifyChanged(doc, kFrameChanged | kValuesChanged | kDisplayChanged);
}

RenderJob::RenderJob(Document& doc, const RenderSettings& settings, int view)
    : doc_(doc),
      settings_(settings),
      // Any number names one of the eight views: out of range is the camera.
      view_(view >= 0 && view < kViewCount ? view : kViewCamera),
      output_(settings.format, settings.outputName, *doc.shell) {}

RenderJob::~RenderJob() {
  Finish();
}

bool RenderJob::Start() {
  const KeyStore& anim = doc_.scene.anim;
  const int lastFrame = LastKeyFrame(anim);
  const std::string problem = RenderSettingsProblem(settings_, anim.currentFrame, lastFrame);
  if (!problem.empty()) {
    doc_.shell->Message(problem);
    failed_ = true;
    return false;
  }
  whole_ = RenderFrames(settings_, anim.currentFrame, lastFrame);
  const FrameSpan span = PartOfFrames(whole_, part_);
  first_ = span.first;
  last_ = span.last;
  if (span.Count() < 1) return true;  // an empty share: done before it began
  if (!output_.Open(span.Count(), first_ - whole_.first)) {
    failed_ = true;
    return false;
  }
  gamma_ = BuildGammaTables(settings_.gamma);
  current_ = first_;
  samples_ = std::max(settings_.blurSamples, 1);
  sampleIndex_ = 0;
  finished_ = 0;
  started_ = true;
  return true;
}

void RenderJob::Resize(int width, int height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  // The buffers follow the area; a failure is told by the next step.
  if (settings_.composite && !Reserve(composite_, AreaBytes())) {
    composite_.clear();
    composite_.shrink_to_fit();
  }
  InitGlState(doc_.scene.global.background);
  glPushMatrix();
  SetAllLights(doc_.scene);
  glPopMatrix();
  SetClearColor(doc_.scene.global.background);
  const RenderViewport v = RenderViewportFor(width_, height_, settings_.fitSquare);
  glViewport(v.x, v.y, v.width, v.height);
}

bool RenderJob::FirstStep() {
  // A single frame cannot be blurred: its samples would all show it. The
  // whole render decides, so a share of one frame is blurred like the rest.
  samples_ = std::min(samples_, whole_.Count());
  const int s = settings_.oversampling;
  const size_t reducedSize = static_cast<size_t>(width_ / s) * static_cast<size_t>(height_ / s) * 3;
  if (samples_ >= 2) {
    try {
      history_.assign(static_cast<size_t>(samples_), std::vector<uint8_t>(reducedSize));
    } catch (const std::bad_alloc&) {
      doc_.shell->Message("Not enough memory for motion blur history");
      return false;
    }
  }
  if (settings_.composite) {
    if (movie_.Open(settings_.compositeMovie) != 0) {
      doc_.shell->Message("Can't open composite movie: " + settings_.compositeMovie + ": " +
                          movie_.Problem());
      return false;
    }
    if (!Reserve(composite_, AreaBytes())) {
      doc_.shell->Message("Can't get memory");
      return false;
    }
    // A share starts on the movie frame the whole render shows there.
    SkipMovieFrames(first_ - whole_.first);
  }
  return output_.Begin(width_ / s, height_ / s);
}

// Reads the next movie frame into movieFrame_, from the start again at the
// end of the movie. false when it started again (or closed: the last
// picture then stays).
bool RenderJob::NextMovieFrame() {
  if (!movie_.IsOpen()) return false;
  const uint8_t* frame = movie_.NextFrame();
  const bool wrapped = !frame;
  if (!frame && movie_.Rewind() == 0) frame = movie_.NextFrame();
  if (!frame) {
    movie_.Close();
    return false;
  }
  // The movie's frame goes through table B so that the gamma correction
  // of the finished picture gives its pixels back.
  movieWidth_ = movie_.Width();
  movieHeight_ = movie_.Height();
  movieFrame_.assign(frame, frame + static_cast<size_t>(movieWidth_) * movieHeight_ * 3);
  MapBytes(movieFrame_.data(), movieFrame_.size(), gamma_.b);
  compositeWidth_ = 0;  // resampled before it is drawn
  return !wrapped;
}

void RenderJob::SkipMovieFrames(int count) {
  int length = 0;  // frames read before the movie first ran out
  for (int i = 0; i < count && movie_.IsOpen(); ++i) {
    if (NextMovieFrame()) {
      ++length;
      continue;
    }
    // Back at its first frame: whole rounds of the movie can be left out.
    if (movie_.IsOpen() && length > 0) count = i + 1 + (count - i - 1) % length;
  }
}

bool RenderJob::DrawBackground() {
  if (!settings_.composite) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
  }
  if (sampleIndex_ == 0) NextMovieFrame();
  if (movieFrame_.empty()) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
  }
  if (composite_.size() != AreaBytes()) {
    doc_.shell->Message("Can't get memory");
    return false;
  }
  // Resampled again after a new movie frame or a resize of the area.
  if (compositeWidth_ != width_ || compositeHeight_ != height_) {
    ResampleRgb(movieFrame_.data(), movieWidth_, movieHeight_, composite_.data(), width_, height_,
                true);
    compositeWidth_ = width_;
    compositeHeight_ = height_;
  }
  glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glViewport(0, 0, width_, height_);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1, -1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glDrawPixels(width_, height_, GL_RGB, GL_UNSIGNED_BYTE, composite_.data());
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
  glClear(GL_DEPTH_BUFFER_BIT);
  return true;
}

void RenderJob::ShowSampleTime() {
  const float t = BlurSampleTime(sampleIndex_, samples_, settings_.blurRange);
  if (t >= 0) {
    ShowFrameAt(doc_, current_, t);
  } else if (current_ > 0) {
    ShowFrameAt(doc_, current_ - 1, t + 1);
  } else {
    ShowFrameAt(doc_, 0, 0);
  }
}

void RenderJob::DrawView() {
  const float aspect = settings_.fitSquare ? AspectOf(width_, height_) : 1.0f;
  ViewSetting view = doc_.display.views[view_];
  if (view_ == kViewCamera) {
    // The Camera view looks from the camera at the point it aims at.
    view.eye = doc_.scene.camera.position;
    view.center = doc_.scene.camera.vectorA;
  }
  DisplayState display = doc_.display;
  display.currentView = view_;
  SetupView(view, view_, aspect);
  DrawScene(drawer_, doc_.scene, display, doc_.uploader->DrawingNames());
  if (profiling_) glFinish();
}

bool RenderJob::DumpPicture() {
  const int s = settings_.oversampling;
  const int w = width_ / s, h = height_ / s;
  if (!Reserve(readBack_, static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3) ||
      !Reserve(reduced_, static_cast<size_t>(w) * static_cast<size_t>(h) * 3)) {
    doc_.shell->Message("ogl_dump_frame_buffer(): Can't get enough ram for storage\n");
    return false;
  }
  Clock::time_point at = Clock::now();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, readBack_.data());
  times_.readBack += Clock::now() - at;

  at = Clock::now();
  uint8_t* picture = readBack_.data();
  if (s != 1) {
    gluScaleImage(GL_RGB, width_, height_, GL_UNSIGNED_BYTE, readBack_.data(), w, h,
                  GL_UNSIGNED_BYTE, reduced_.data());
    picture = reduced_.data();
  }
  FlipRows(picture, w, h);
  const size_t size = static_cast<size_t>(w) * static_cast<size_t>(h) * 3;
  if (gamma_.correct) MapBytes(picture, size, gamma_.a);
  picture_ = picture;
  pictureWidth_ = w;
  pictureHeight_ = h;
  if (samples_ >= 2) {
    std::vector<uint8_t>& slot = history_[static_cast<size_t>(sampleIndex_)];
    if (!Reserve(slot, size)) {
      doc_.shell->Message("Not enough memory for motion blur history");
      return false;
    }
    std::copy_n(picture, size, slot.data());
    if (sampleIndex_ != samples_ - 1) {
      times_.scale += Clock::now() - at;
      return true;
    }
    // Every frame is the average of all of its samples. Samples drawn
    // before the area was resized do not fit; this one stands in for them.
    for (std::vector<uint8_t>& other : history_) {
      if (other.size() == size) continue;
      if (!Reserve(other, size)) {
        doc_.shell->Message("Not enough memory for motion blur history");
        return false;
      }
      std::copy_n(picture, size, other.data());
    }
    AverageSamples(history_, samples_, size, picture);
  }
  times_.scale += Clock::now() - at;

  at = Clock::now();
  const bool ok = output_.Write(picture, w, h, current_, exactName_);
  times_.encode += Clock::now() - at;
  return ok;
}

bool RenderJob::Step() {
  if (!started_ || current_ == -1) return false;
  if (finished_ == 0 && sampleIndex_ == 0 && !FirstStep()) {
    Stop(true);
    return false;
  }
  Clock::time_point at = Clock::now();
  if (!DrawBackground()) {
    Stop(true);
    return false;
  }
  ShowSampleTime();
  times_.other += Clock::now() - at;

  at = Clock::now();
  DrawView();
  times_.draw += Clock::now() - at;

  if (!DumpPicture()) {
    Stop(true);
    return false;
  }
  char title[96];
  std::snprintf(title, sizeof title, "Frame %d of %d: Motion Blur %d of %d", finished_ + 1,
                FrameCount(), sampleIndex_ + 1, samples_);
  title_ = title;

  if (++sampleIndex_ == samples_) sampleIndex_ = 0;
  if (sampleIndex_ == 0) {
    ++finished_;
    if (current_ == last_) {
      Stop(false);
      return false;
    }
    ++current_;
  }
  return true;
}

void RenderJob::Stop(bool failed) {
  current_ = -1;
  failed_ = failed_ || failed;
}

void RenderJob::Finish() {
  current_ = -1;
  picture_ = nullptr;
  if (!output_.Finish()) failed_ = true;
  movie_.Close();
  history_.clear();
  history_.shrink_to_fit();
}

}  // namespace modra
