#include "platform/ijl.h"

#include <sys/stat.h>
#include <turbojpeg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace {

// A JPEG larger than this is no picture a screen produced; reading it whole
// is refused before any allocation.
constexpr long long kMaxJpegFileBytes = 512ll << 20;

struct Codec {
  tjhandle decoder = nullptr;
  tjhandle encoder = nullptr;
  ~Codec() {
    if (decoder) tjDestroy(decoder);
    if (encoder) tjDestroy(encoder);
  }
};

Codec* CodecOf(JPEG_CORE_PROPERTIES* props) {
  return props ? static_cast<Codec*>(props->jinternal) : nullptr;
}

int PathOf(const JPEG_CORE_PROPERTIES* props, std::string* path) {
  const void* end = std::memchr(props->JPGFile, 0, IJL_MAX_PATH);
  if (!end || props->JPGFile[0] == 0) return IJL_INVALID_FILENAME;
  path->assign(props->JPGFile, static_cast<const char*>(end));
  return IJL_OK;
}

bool SizeAllowed(long long width, long long height) {
  return width > 0 && height > 0 && width * height <= IJL_MAX_PIXELS;
}

int ReadWholeFile(const std::string& path, std::vector<unsigned char>* data) {
  std::FILE* fp = plat::OpenFile(path, "rb");
  if (!fp) return IJL_FILE_ERROR;
  struct stat st;
  int status = IJL_OK;
  if (fstat(fileno(fp), &st) != 0 || !S_ISREG(st.st_mode)) {
    status = IJL_FILE_ERROR;
  } else if (st.st_size <= 0 || st.st_size > kMaxJpegFileBytes) {
    status = st.st_size <= 0 ? IJL_DECODE_ERROR : IJL_MEMORY_ERROR;
  } else {
    try {
      data->resize(std::size_t(st.st_size));
      if (std::fread(data->data(), 1, data->size(), fp) != data->size()) status = IJL_FILE_ERROR;
    } catch (const std::exception&) {
      status = IJL_MEMORY_ERROR;
    }
  }
  std::fclose(fp);
  return status;
}

struct Header {
  int width = 0, height = 0, subsamp = 0, colorspace = 0;
};

int DecodeHeader(tjhandle dec, const std::vector<unsigned char>& data, Header* h) {
  if (tjDecompressHeader3(dec, data.data(), static_cast<unsigned long>(data.size()), &h->width,
                          &h->height, &h->subsamp, &h->colorspace) != 0) {
    return IJL_DECODE_ERROR;
  }
  if (!SizeAllowed(h->width, h->height)) return IJL_MEMORY_ERROR;
  return IJL_OK;
}

// Padding beyond a few bytes a row is no layout a caller uses; refusing it
// keeps the row pitch well inside an int.
constexpr int kMaxPadBytes = 64;

int TurboFormat(const JPEG_CORE_PROPERTIES* props) {
  if (props->DIBChannels != 3 || props->DIBPadBytes < 0 || props->DIBPadBytes > kMaxPadBytes) {
    return -1;
  }
  if (props->DIBColor == IJL_BGR) return TJPF_BGR;
  if (props->DIBColor == IJL_RGB) return TJPF_RGB;
  return -1;
}

int ReadParams(JPEG_CORE_PROPERTIES* props, Codec* codec) {
  std::string path;
  std::vector<unsigned char> data;
  Header h;
  int status = PathOf(props, &path);
  if (status == IJL_OK) status = ReadWholeFile(path, &data);
  if (status == IJL_OK) status = DecodeHeader(codec->decoder, data, &h);
  if (status != IJL_OK) return status;
  props->JPGWidth = h.width;
  props->JPGHeight = h.height;
  props->JPGChannels = h.colorspace == TJCS_GRAY                                  ? 1
                       : (h.colorspace == TJCS_CMYK || h.colorspace == TJCS_YCCK) ? 4
                                                                                  : 3;
  props->JPGColor = h.colorspace == TJCS_GRAY    ? IJL_G
                    : h.colorspace == TJCS_YCbCr ? IJL_YCBCR
                    : h.colorspace == TJCS_RGB   ? IJL_RGB
                                                 : IJL_OTHER;
  props->JPGSubsampling = h.subsamp == TJSAMP_420   ? IJL_411
                          : h.subsamp == TJSAMP_422 ? IJL_422
                                                    : IJL_NONE;
  return IJL_OK;
}

int ReadImage(JPEG_CORE_PROPERTIES* props, Codec* codec) {
  std::string path;
  std::vector<unsigned char> data;
  Header h;
  const int format = TurboFormat(props);
  if (format < 0 || !props->DIBBytes) return IJL_INVALID_JPEG_PROPERTIES;
  int status = PathOf(props, &path);
  if (status == IJL_OK) status = ReadWholeFile(path, &data);
  if (status == IJL_OK) status = DecodeHeader(codec->decoder, data, &h);
  if (status != IJL_OK) return status;
  const bool bottomUp = props->DIBHeight < 0;
  if (props->DIBWidth != h.width || std::llabs(props->DIBHeight) != h.height) {
    return IJL_INVALID_JPEG_PROPERTIES;
  }
  // Warnings count as failures: a truncated or damaged file would otherwise
  // come back as a picture with grey or garbled parts. The scan limit stops
  // files built to make progressive decoding take forever.
  const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS | (bottomUp ? TJFLAG_BOTTOMUP : 0);
  const int pitch = h.width * 3 + props->DIBPadBytes;
  if (tjDecompress2(codec->decoder, data.data(), static_cast<unsigned long>(data.size()),
                    props->DIBBytes, h.width, pitch, h.height, format, flags) != 0) {
    return IJL_DECODE_ERROR;
  }
  return IJL_OK;
}

int WriteImage(JPEG_CORE_PROPERTIES* props, Codec* codec) {
  std::string path;
  if (int status = PathOf(props, &path); status != IJL_OK) return status;
  const int format = TurboFormat(props);
  const int width = props->DIBWidth,
            height = props->DIBHeight < 0 ? -props->DIBHeight : props->DIBHeight;
  if (format < 0 || !props->DIBBytes || props->DIBPadBytes < 0 ||
      (props->JPGWidth != 0 && props->JPGWidth != width) ||
      (props->JPGHeight != 0 && props->JPGHeight != height)) {
    return IJL_INVALID_JPEG_PROPERTIES;
  }
  if (!SizeAllowed(width, height)) return IJL_MEMORY_ERROR;
  if (!codec->encoder && !(codec->encoder = tjInitCompress())) return IJL_MEMORY_ERROR;
  const int quality = props->jquality < 1 ? 1 : props->jquality > 100 ? 100 : props->jquality;
  const int subsamp = props->JPGSubsampling == IJL_411   ? TJSAMP_420
                      : props->JPGSubsampling == IJL_422 ? TJSAMP_422
                                                         : TJSAMP_444;
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  const int flags = props->DIBHeight < 0 ? TJFLAG_BOTTOMUP : 0;
  if (tjCompress2(codec->encoder, props->DIBBytes, int(width), int(width) * 3 + props->DIBPadBytes,
                  int(height), format, &jpeg, &jpegSize, subsamp, quality, flags) != 0) {
    tjFree(jpeg);
    return IJL_ENCODE_ERROR;
  }
  int status = IJL_OK;
  std::FILE* fp = plat::OpenFile(path, "wb");
  if (!fp) {
    status = IJL_FILE_ERROR;
  } else {
    if (std::fwrite(jpeg, 1, jpegSize, fp) != jpegSize) status = IJL_FILE_ERROR;
    if (std::fclose(fp) != 0) status = IJL_FILE_ERROR;
  }
  tjFree(jpeg);
  return status;
}

}  // namespace

int ijlInit(JPEG_CORE_PROPERTIES* props) {
  if (!props) return IJL_INVALID_JPEG_PROPERTIES;
  auto* codec = new (std::nothrow) Codec;
  if (!codec) return IJL_MEMORY_ERROR;
  codec->decoder = tjInitDecompress();
  if (!codec->decoder) {
    delete codec;
    return IJL_MEMORY_ERROR;
  }
  props->jinternal = codec;
  props->DIBChannels = 3;
  props->DIBColor = IJL_BGR;
  props->DIBPadBytes = 0;
  props->JPGChannels = 3;
  props->JPGColor = IJL_YCBCR;
  // Chroma at half resolution both ways, the usual default of JPEG encoders.
  props->JPGSubsampling = IJL_411;
  props->jquality = 75;
  return IJL_OK;
}

int ijlFree(JPEG_CORE_PROPERTIES* props) {
  Codec* codec = CodecOf(props);
  if (!codec) return IJL_NOT_INITIALIZED;
  delete codec;
  props->jinternal = nullptr;
  return IJL_OK;
}

int ijlRead(JPEG_CORE_PROPERTIES* props, int mode) {
  Codec* codec = CodecOf(props);
  if (!codec) return IJL_NOT_INITIALIZED;
  if (mode == IJL_JFILE_READPARAMS) return ReadParams(props, codec);
  if (mode == IJL_JFILE_READWHOLEIMAGE) return ReadImage(props, codec);
  return IJL_INVALID_JPEG_PROPERTIES;
}

int ijlWrite(JPEG_CORE_PROPERTIES* props, int mode) {
  Codec* codec = CodecOf(props);
  if (!codec) return IJL_NOT_INITIALIZED;
  if (mode != IJL_JFILE_WRITEWHOLEIMAGE) return IJL_INVALID_JPEG_PROPERTIES;
  return WriteImage(props, codec);
}
