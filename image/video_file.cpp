#include "image/video_file.h"

#include <strings.h>
#include <unistd.h>

#include <cstdio>

#include "image/picture_file.h"
#include "platform/codepage.h"
#include "platform/files.h"

VideoFormat VideoFormatOf(const std::string& gbkPath) {
  const std::string ext = PictureExtension(gbkPath);
  if (::strcasecmp(ext.c_str(), ".mp4") == 0) return VideoFormat::kMp4;
  if (::strcasecmp(ext.c_str(), ".webm") == 0) return VideoFormat::kWebm;
  return VideoFormat::kNone;
}

bool CVideoWriter::Open(const std::string& gbkPath, int width, int height, int framesPerSecond,
                        std::string* error) {
  const VideoFormat format = VideoFormatOf(gbkPath);
  if (format == VideoFormat::kNone) {
    *error = "a video is written as .mp4 or .webm";
    return false;
  }
  m_target = gbkPath;
  // Written under a name of its own in the same folder, then renamed: a
  // failed export leaves an older video as it was.
  m_temp = gbkPath + ".part-" + std::to_string(::getpid());
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  std::vector<std::string> args = {"ffmpeg",     "-hide_banner",
                                   "-loglevel",  "error",
                                   "-nostdin",   "-y",
                                   "-f",         "rawvideo",
                                   "-pix_fmt",   "bgr0",
                                   "-s",         size,
                                   "-framerate", std::to_string(framesPerSecond),
                                   "-i",         "-"};
  // 4:2:0 colour wants even sizes.
  if (width % 2 || height % 2) args.insert(args.end(), {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2"});
  if (format == VideoFormat::kMp4)
    args.insert(args.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-tune", "stillimage",
                             "-pix_fmt", "yuv420p", "-f", "mp4"});
  else
    args.insert(args.end(), {"-c:v", "libvpx", "-deadline", "realtime", "-cpu-used", "8", "-b:v",
                             "4M", "-pix_fmt", "yuv420p", "-f", "webm"});
  args.push_back(plat::Utf8FromGbk(m_temp));
  if (!m_encoder.Start(args, error)) {
    if (error->find("not installed") != std::string::npos)
      *error += " (videos need the ffmpeg program: apt-get install ffmpeg)";
    return false;
  }
  m_frameBytes = std::size_t(width) * height * 4;
  return true;
}

bool CVideoWriter::AddFrame(const std::uint32_t* pixels) {
  // The pixels' bytes are blue, green, red, unused: ffmpeg's bgr0.
  if (!m_encoder.Write(pixels, m_frameBytes)) return false;
  ++m_frames;
  return true;
}

bool CVideoWriter::Close(std::string* error) {
  std::string messages;
  const int status = m_encoder.Finish(&messages);
  if (status != 0) {
    plat::RemoveFile(m_temp);
    *error = "the video encoder failed" + (messages.empty() ? std::string() : ": " + messages);
    while (!error->empty() && error->back() == '\n') error->pop_back();
    return false;
  }
  if (std::rename(plat::Utf8FromGbk(m_temp).c_str(), plat::Utf8FromGbk(m_target).c_str()) != 0) {
    plat::RemoveFile(m_temp);
    *error = "cannot put the video in place";
    return false;
  }
  return true;
}
