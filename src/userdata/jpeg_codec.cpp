#include "userdata/jpeg_codec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/dialogs.h"
#include "userdata/file_io.h"
#include "view/sky_canvas.h"

// The JPEG library's headers are C and need the standard size types first.
#include <jerror.h>
#include <jpeglib.h>

namespace celes {

namespace {

constexpr std::size_t kIoBufferBytes = 4096;
// Progressive files can ask for a very large number of scans, each a full pass over the image; no
// real photograph needs more than a few dozen.
constexpr int kMaxProgressiveScans = 500;

// The error manager. A fatal error must not return into the library: error_exit shows the message
// and jumps back to the operation, which then destroys the codec and closes the file. Everything
// the jump crosses is the library's C code or functions below whose locals have no destructors.
struct ErrorManager {
    jpeg_error_mgr pub;  // first, so the library's pointer is also ours
    std::jmp_buf jump;
    platform::Dialogs* dialogs = nullptr;
    const char* ownMessage = nullptr;  // set for the system's own refusals (not library codes)
};

void ShowMessage(platform::Dialogs* dialogs, const char* text) {
    if (dialogs)
        dialogs->messageBox(text, kJpegErrorCaption, platform::MessageButtons::Ok,
                            platform::MessageIcon::Error);
}

void OutputMessage(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (err->ownMessage) {
        ShowMessage(err->dialogs, err->ownMessage);
        return;
    }
    char buffer[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, buffer);
    ShowMessage(err->dialogs, buffer);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(err->jump, 1);
}

[[noreturn]] void FailWith(j_common_ptr cinfo, const char* message) {
    reinterpret_cast<ErrorManager*>(cinfo->err)->ownMessage = message;
    ErrorExit(cinfo);
}

void SetUpErrorManager(ErrorManager& err, platform::Dialogs* dialogs) {
    jpeg_std_error(&err.pub);  // trace level 0, no warnings yet, the library's message table
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;
    err.dialogs = dialogs;
}

// ---- file source ----

struct FileSource {
    jpeg_source_mgr pub;
    std::FILE* file = nullptr;
    bool startOfFile = true;
    JOCTET buffer[kIoBufferBytes];
};

void InitSource(j_decompress_ptr cinfo) {
    reinterpret_cast<FileSource*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<FileSource*>(cinfo->src);
    std::size_t n = std::fread(src->buffer, 1, kIoBufferBytes, src->file);
    if (n == 0) {
        if (src->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A truncated file: warn once and end the image here, so what was decoded is shown.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    auto* src = reinterpret_cast<FileSource*>(cinfo->src);
    while (count > long(src->pub.bytes_in_buffer)) {
        count -= long(src->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= std::size_t(count);
}

void TermSource(j_decompress_ptr) {}

// ---- file destination ----

struct FileDestination {
    jpeg_destination_mgr pub;
    std::FILE* file = nullptr;
    JOCTET buffer[kIoBufferBytes];
};

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<FileDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kIoBufferBytes;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<FileDestination*>(cinfo->dest);
    if (std::fwrite(dest->buffer, 1, kIoBufferBytes, dest->file) != kIoBufferBytes)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kIoBufferBytes;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<FileDestination*>(cinfo->dest);
    const std::size_t held = kIoBufferBytes - dest->pub.free_in_buffer;
    if (held > 0 && std::fwrite(dest->buffer, 1, held, dest->file) != held) ERREXIT(cinfo, JERR_FILE_WRITE);
    if (std::fflush(dest->file) != 0) ERREXIT(cinfo, JERR_FILE_WRITE);
}

void CheckScanCount(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->is_decompressor && d->input_scan_number > kMaxProgressiveScans)
        FailWith(cinfo, "JPEG画像のスキャンが多すぎます。");
}

// Everything one decode needs, allocated before the jump point so that nothing the jump crosses
// owns memory, and reached through a pointer that never changes after it.
struct DecodeJob {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    FileSource src;
    jpeg_progress_mgr progress;
    JpegBitmap out;
    std::vector<JSAMPLE> cmykRow;     // one row of a CMYK file before it becomes blue-green-red
    std::vector<JSAMPLE> scratchRow;  // the last row of an image cut to the chart, read and dropped
    bool created = false;
};

// A CMYK row as blue-green-red. Files marked by Adobe's programs (the usual source of CMYK JPEGs)
// hold the inks inverted, 255 meaning no ink; others hold them as they are.
void CmykToBgr(const JSAMPLE* cmyk, std::uint8_t* bgr, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int flip = inverted ? 0 : 255;
        const int c = std::abs(flip - cmyk[0]), m = std::abs(flip - cmyk[1]);
        const int y = std::abs(flip - cmyk[2]), k = std::abs(flip - cmyk[3]);
        bgr[0] = std::uint8_t((y * k + 127) / 255);
        bgr[1] = std::uint8_t((m * k + 127) / 255);
        bgr[2] = std::uint8_t((c * k + 127) / 255);
    }
}

// Whether the scan being read ends within the file: a marker (0xFF followed by anything but a
// stuffed 0x00, a restart marker or more 0xFF) turns up in what the decoder has not taken yet or in
// the rest of the file. A marker the decoder already met (the end, or the end a cut file was given)
// counts as found.
bool ScanDataEnds(DecodeJob* job) {
    if (job->cinfo.unread_marker != 0) return true;
    bool afterFF = false;
    auto scan = [&afterFF](const JOCTET* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            const JOCTET b = p[i];
            if (afterFF && b != 0x00 && b != 0xFF && (b < 0xD0 || b > 0xD7)) return true;
            afterFF = b == 0xFF;
        }
        return false;
    };
    if (scan(job->src.pub.next_input_byte, job->src.pub.bytes_in_buffer)) return true;
    for (;;) {
        const std::size_t n = std::fread(job->src.buffer, 1, kIoBufferBytes, job->src.file);
        if (n == 0) return false;
        if (scan(job->src.buffer, n)) return true;
    }
}

bool RunDecode(DecodeJob* const job, std::FILE* file, const ChartFit* fit) {
    jpeg_decompress_struct* const cinfo = &job->cinfo;
    if (setjmp(job->err.jump)) {
        if (job->created) jpeg_destroy_decompress(cinfo);
        job->created = false;
        return false;
    }
    jpeg_create_decompress(cinfo);
    job->created = true;
    job->src.file = file;
    job->src.pub.init_source = InitSource;
    job->src.pub.fill_input_buffer = FillInputBuffer;
    job->src.pub.skip_input_data = SkipInputData;
    job->src.pub.resync_to_restart = jpeg_resync_to_restart;
    job->src.pub.term_source = TermSource;
    job->src.pub.bytes_in_buffer = 0;
    job->src.pub.next_input_byte = nullptr;
    cinfo->src = &job->src.pub;
    job->progress.progress_monitor = CheckScanCount;
    cinfo->progress = &job->progress;

    jpeg_read_header(cinfo, TRUE);
    if (std::uint64_t(cinfo->image_width) * cinfo->image_height > kMaxJpegPixels)
        FailWith(reinterpret_cast<j_common_ptr>(cinfo), "JPEG画像が大きすぎるため表示できません。");
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    const bool fitted = fit && fit->width > 0 && fit->height > 0;
    const bool stretched = fitted && fit->stretch && int(cinfo->image_width) != fit->width;
    if (stretched) {
        cinfo->scale_num = 1;
        cinfo->scale_denom = unsigned(ChartScaleDenominator(int(cinfo->image_width), int(cinfo->image_height),
                                                            fit->width, fit->height));
        cinfo->dct_method = JDCT_IFAST;
        cinfo->do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != (cmyk ? 4 : 3)) ERREXIT(cinfo, JERR_CONVERSION_NOTIMPL);
    JDIMENSION rows = cinfo->output_height;
    if (fitted && !stretched) {
        // Drawn unscaled, only the chart's width and height of the image can be seen.
        if (cinfo->output_width > JDIMENSION(fit->width)) {
            JDIMENSION left = 0, width = JDIMENSION(fit->width);
            jpeg_crop_scanline(cinfo, &left, &width);
        }
        rows = std::min(rows, JDIMENSION(fit->height));
    }

    JpegBitmap& out = job->out;
    out.width = int(cinfo->output_width);
    out.height = int(rows);
    out.stride = CanvasStride(out.width);
    out.fileWidth = int(cinfo->image_width);
    out.fileHeight = int(cinfo->image_height);
    out.bits.assign(std::size_t(out.stride) * std::size_t(out.height), 0x80);
    if (cmyk) job->cmykRow.resize(std::size_t(cinfo->output_width) * 4);
    while (cinfo->output_scanline < rows) {
        // Row 0 goes to the last row in memory, so the bitmap stands upright.
        std::uint8_t* const target =
            out.bits.data() + std::size_t(out.height - 1 - int(cinfo->output_scanline)) * out.stride;
        JSAMPROW row = cmyk ? job->cmykRow.data() : target;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) break;
        if (cmyk) CmykToBgr(row, target, out.width, cinfo->saw_Adobe_marker);
    }
    if (cinfo->output_scanline < cinfo->output_height && !jpeg_has_multiple_scans(cinfo)) {
        // The rows below the chart are not decoded. A file cut short is still reported as it would
        // be for the whole image: the rest of the file is looked through for the marker that ends
        // its scan, which a cut file lacks (markers are all the scan's data can hold besides
        // stuffed bytes and restart markers).
        if (!ScanDataEnds(job) && cinfo->err->num_warnings == 0) WARNMS(cinfo, JWRN_JPEG_EOF);
        jpeg_abort_decompress(cinfo);
        jpeg_destroy_decompress(cinfo);
        job->created = false;
        return true;
    }
    // A progressive file was read whole when decoding started: what is left costs little.
    if (cinfo->output_scanline < cinfo->output_height) {
        if (cinfo->output_height - cinfo->output_scanline > 1)
            jpeg_skip_scanlines(cinfo, cinfo->output_height - cinfo->output_scanline - 1);
        job->scratchRow.resize(std::size_t(cinfo->output_width) * std::size_t(cinfo->output_components));
        JSAMPROW row = job->scratchRow.data();
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    job->created = false;
    return true;
}

struct EncodeJob {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    FileDestination dest;
    bool created = false;
};

bool RunEncode(EncodeJob* const job, const CSkyCanvas& canvas, std::FILE* file) {
    jpeg_compress_struct* const cinfo = &job->cinfo;
    if (setjmp(job->err.jump)) {
        if (job->created) jpeg_destroy_compress(cinfo);
        job->created = false;
        return false;
    }
    jpeg_create_compress(cinfo);
    job->created = true;
    cinfo->image_width = JDIMENSION(canvas.Width());
    cinfo->image_height = JDIMENSION(canvas.Height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;  // the canvas's byte order, passed straight through
    jpeg_set_defaults(cinfo);
    job->dest.file = file;
    job->dest.pub.init_destination = InitDestination;
    job->dest.pub.empty_output_buffer = EmptyOutputBuffer;
    job->dest.pub.term_destination = TermDestination;
    cinfo->dest = &job->dest.pub;
    jpeg_set_quality(cinfo, 100, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    const std::uint8_t* bits = canvas.Bits();
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bits + std::size_t(cinfo->next_scanline) * canvas.Stride());
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    job->created = false;
    return true;
}

}  // namespace

std::uint32_t JpegBitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::uint8_t* p = topDownRow(y) + 3 * x;
    return std::uint32_t(p[2]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[0]) << 16;
}

int ChartScaleDenominator(int width, int height, int chartWidth, int chartHeight) {
    for (int d : {8, 4, 2})
        if ((width + d - 1) / d >= chartWidth && (height + d - 1) / d >= chartHeight) return d;
    return 1;
}

std::optional<JpegBitmap> DecodeJpegStream(std::FILE* file, platform::Dialogs* dialogs, const ChartFit* fit) {
    if (!file) return std::nullopt;
    auto job = std::make_unique<DecodeJob>();
    SetUpErrorManager(job->err, dialogs);
    job->cinfo.err = &job->err.pub;
    if (!RunDecode(job.get(), file, fit)) return std::nullopt;
    return std::move(job->out);
}

namespace {

std::optional<JpegBitmap> LoadFile(const std::string& path, platform::Dialogs* dialogs, const ChartFit* fit) {
    // Without blocking and only a regular file: a FIFO named like a photograph must not freeze the
    // window. A file that is there but refused is told, naming the path.
    std::string why;
    FileOpenProblem problem = FileOpenProblem::None;
    std::FILE* file = OpenRegularFileStream(path, 0, &why, &problem);
    if (!file) {
        if (dialogs && problem != FileOpenProblem::Missing)
            dialogs->messageBox("画像ファイルを開けません（" + why + "）。\n" + path, "JPEG",
                                platform::MessageButtons::Ok, platform::MessageIcon::Warning);
        return std::nullopt;
    }
    auto result = DecodeJpegStream(file, dialogs, fit);
    std::fclose(file);
    return result;
}

}  // namespace

std::optional<JpegBitmap> LoadJpegBitmap(const std::string& path, platform::Dialogs* dialogs) {
    return LoadFile(path, dialogs, nullptr);
}

std::optional<JpegBitmap> LoadJpegForChart(const std::string& path, const ChartFit& fit,
                                           platform::Dialogs* dialogs) {
    return LoadFile(path, dialogs, &fit);
}

void DrawJpegOnCanvas(const JpegBitmap& image, CSkyCanvas& canvas, int chartWidth, int chartHeight,
                      bool stretch) {
    const int w = std::min(chartWidth, canvas.Width()), h = std::min(chartHeight, canvas.Height());
    if (w <= 0 || h <= 0 || image.width <= 0 || image.height <= 0 || !canvas.Bits()) return;
    if (image.bits.size() < std::size_t(image.stride) * std::size_t(image.height)) return;
    // The rule looks at the image as it is in its file, however much of it was decoded.
    const int fileWidth = image.fileWidth > 0 ? image.fileWidth : image.width;
    const bool scaled = stretch && fileWidth != chartWidth;
    const int cw = scaled ? w : std::min(w, image.width);
    const int ch = scaled ? h : std::min(h, image.height);
    // Source byte offset of each chart column, worked out once rather than per pixel.
    std::vector<std::size_t> column;
    if (scaled) {
        column.resize(std::size_t(cw));
        for (int x = 0; x < cw; ++x)
            column[std::size_t(x)] = 3 * std::size_t(std::int64_t(x) * image.width / chartWidth);
    }
    for (int y = 0; y < ch; ++y) {
        const int sy = scaled ? int(std::int64_t(y) * image.height / chartHeight) : y;
        const std::uint8_t* src = image.topDownRow(sy);
        std::uint8_t* dst = canvas.Bits() + std::size_t(y) * canvas.Stride();
        if (!scaled) {
            std::memcpy(dst, src, std::size_t(cw) * 3);
            continue;
        }
        for (int x = 0; x < cw; ++x, dst += 3) {
            const std::uint8_t* p = src + column[std::size_t(x)];
            dst[0] = p[0];
            dst[1] = p[1];
            dst[2] = p[2];
        }
    }
}

bool SaveCanvasJpeg(const CSkyCanvas& canvas, const std::string& path, platform::Dialogs* dialogs) {
    if (canvas.Width() <= 0 || canvas.Height() <= 0 || !canvas.Bits()) return false;
    // Encoded in memory, then written like every other file of the user's: through a temporary
    // file renamed over the old one, at a symbolic link's target.
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = ::open_memstream(&data, &size);
    if (!file) return false;
    auto job = std::make_unique<EncodeJob>();
    SetUpErrorManager(job->err, dialogs);
    job->cinfo.err = &job->err.pub;
    const bool encoded = RunEncode(job.get(), canvas, file);
    const bool closed = std::fclose(file) == 0;
    const bool written =
        encoded && closed &&
        WriteFileReplacing(path, std::span(reinterpret_cast<const std::uint8_t*>(data), size));
    std::free(data);
    return written;
}

}  // namespace celes
