#pragma once
// Videos (MP4 or WebM, chosen by the extension) encoded by ffmpeg from
// frames at a fixed rate.
#include <cstdint>
#include <string>

#include "platform/pipe_process.h"

enum class VideoFormat { kNone, kMp4, kWebm };
VideoFormat VideoFormatOf(const std::string& gbkPath);

class CVideoWriter {
 public:
  // Starts the encoder writing to a file beside gbkPath that takes its place
  // on Close. False with the reason (UTF-8) in error, naming a missing
  // encoder.
  bool Open(const std::string& gbkPath, int width, int height, int framesPerSecond,
            std::string* error);
  // One frame: width x height pixels 0x00RRGGBB, rows top first.
  bool AddFrame(const std::uint32_t* pixels);
  bool Close(std::string* error);
  std::int64_t FramesWritten() const { return m_frames; }

 private:
  plat::PipeProcess m_encoder;
  std::string m_target, m_temp;  // GBK
  std::size_t m_frameBytes = 0;
  std::int64_t m_frames = 0;
};
