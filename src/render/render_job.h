// Rendering a scene to files, one sample per Step(): the render window of
// the editor drives it from a timer, `modra render` from a loop. Each
// step shows the scene at the sample's time, draws it through the chosen
// view into the current framebuffer, reads it back, reduces the
// oversampled picture, flips it, corrects gamma, averages motion-blur
// samples and hands finished frames to the output.
//
// The caller owns the OpenGL context: it makes a context with a drawing
// area of DrawingWidth x DrawingHeight (render_settings.h) current, calls
// Resize with that size, then Step until it returns false, and Finish.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "document/document.h"
#include "render/frame_output.h"
#include "render/movie_reader.h"
#include "render/render_settings.h"
#include "view/draw_groups.h"

namespace modra {

// What the render spent its time on, summed over all steps.
struct RenderTimes {
  using Clock = std::chrono::steady_clock;
  Clock::duration draw{}, readBack{}, scale{}, encode{}, other{};
};

// What a render changes of the document's display, to be put back at its end.
struct DisplayBeforeRender {
  int view = kViewCamera;
  bool lightDisplay = false;
  int frame = 0;
};

// What starting a render does to the document: the Camera view without
// the light models, and nothing selected or highlighted. Returns what
// RestoreDocumentAfterRender puts back.
DisplayBeforeRender PrepareDocumentForRender(Document& doc);
// Ends a render, finished or not: the view, the light display and the frame
// shown before it come back, the scene at that frame and its number in the
// frame box, since the render leaves the scene at the last frame it drew
// and the next edit keys the current frame. The selection stays cleared.
void RestoreDocumentAfterRender(Document& doc, const DisplayBeforeRender& before);

class RenderJob {
 public:
  // `view` is the view the pictures are drawn through: the Camera view
  // for a render, any of the eight for a single picture.
  RenderJob(Document& doc, const RenderSettings& settings, int view = kViewCamera);
  ~RenderJob();
  RenderJob(const RenderJob&) = delete;
  RenderJob& operator=(const RenderJob&) = delete;

  // Writes the one picture to the output name itself instead of a
  // numbered frame file (a still from `modra render --view`).
  void SetExactName(bool exact) { exactName_ = exact; }
  // With profiling on, each step waits for the drawing to finish before
  // the read-back, so that Times() tells the two apart.
  void SetProfiling(bool on) { profiling_ = on; }
  // Renders only this share of the frames (before Start). Each frame comes
  // out as the whole render would make it: blurred with as many samples,
  // over the same frame of the composite movie. An empty share starts,
  // writes nothing and has no step to take.
  void SetPart(RenderPart part) { part_ = part; }

  // Checks the settings and opens what the render needs before the first
  // sample: the frame range, the movie, the gamma tables. false (with the
  // message told) when the render cannot start; nothing is written then.
  bool Start();
  // The drawing area is W x H: sets up the GL state, the lights, the
  // clear colour and the viewport. Needs the context current.
  void Resize(int width, int height);
  // Renders one sample. false once the render is over (finished, failed
  // or never started); call Finish then.
  bool Step();
  // Ends the movie or GIF with the frames written so far and frees the
  // buffers; a movie or GIF that cannot be completed is told and makes
  // the render Failed. Called by the destructor too.
  void Finish();

  // Deletes the drawing's buffer objects; needs the context current. A
  // context shared with others keeps them otherwise.
  void ReleaseBuffers() { drawer_.ReleaseBuffers(); }

  bool Failed() const { return failed_; }
  int FirstFrame() const { return first_; }
  int LastFrame() const { return last_; }
  // The frames this render (or share) writes, and how many of them are
  // done: what a progress display counts, as the title does.
  int FrameCount() const { return std::max(last_ - first_ + 1, 0); }
  int FramesFinished() const { return finished_; }
  int Samples() const { return samples_; }
  int SampleIndex() const { return sampleIndex_; }
  int FramesWritten() const { return output_.FramesWritten(); }
  // "Frame %d of %d: Motion Blur %d of %d" after each sample: the frame the
  // sample belongs to, counted from 1, of FrameCount(), then the sample of
  // the frame's samples. Empty before the first sample.
  const std::string& Title() const { return title_; }
  const RenderTimes& Times() const { return times_; }
  // The picture of the last sample, top row first, reduced and gamma
  // corrected (and, at a frame's last sample, averaged): what a window
  // shows of the render. Null before the first sample; valid until the
  // next Step or Finish.
  const uint8_t* LastPicture() const { return picture_; }
  int LastPictureWidth() const { return pictureWidth_; }
  int LastPictureHeight() const { return pictureHeight_; }

 private:
  bool FirstStep();
  bool NextMovieFrame();
  void SkipMovieFrames(int count);
  bool DrawBackground();
  void ShowSampleTime();
  void DrawView();
  bool DumpPicture();
  void Stop(bool failed);
  size_t AreaBytes() const {
    return static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3;
  }

  Document& doc_;
  RenderSettings settings_;
  int view_;
  bool exactName_ = false;
  bool profiling_ = false;
  RenderPart part_;

  FrameOutput output_;
  GammaTables gamma_;
  GroupDrawer drawer_;
  MovieReader movie_;
  std::vector<uint8_t> movieFrame_;  // the latest movie frame, through table B
  int movieWidth_ = 0, movieHeight_ = 0;
  std::vector<uint8_t> composite_;                // W x H, bottom row first, ready for glDrawPixels
  int compositeWidth_ = 0, compositeHeight_ = 0;  // what composite_ holds
  std::vector<std::vector<uint8_t>> history_;     // one reduced picture per sample
  std::vector<uint8_t> readBack_, reduced_;
  const uint8_t* picture_ = nullptr;  // into readBack_ or reduced_
  int pictureWidth_ = 0, pictureHeight_ = 0;

  int width_ = 100, height_ = 100;  // the drawing area
  // All frames of the render, of which first_ .. last_ are ours.
  FrameSpan whole_;
  int first_ = 0, last_ = -1;
  int current_ = -1;  // -1: stop
  int samples_ = 1, sampleIndex_ = 0;
  int finished_ = 0;
  bool started_ = false, failed_ = false;
  std::string title_;
  RenderTimes times_;
};

}  // namespace modra
