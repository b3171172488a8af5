#include "io/ZipFileInfoZip.h"

#include <exception>

#include "io/InputStream.h"

extern "C" {
#include <minizip/unzip.h>
}

namespace io {

namespace {

const int CHUNK_SIZE = 4096;

}  // namespace

struct ZipFileInfoZip::State {
    unzFile handle = nullptr;
    InputStream* stream = nullptr;
    int64_t pos = 0;
    int64_t size = 0;
    // An exception of the stream, held while minizip unwinds, then rethrown.
    std::exception_ptr error;
    std::vector<unz64_file_pos> listed;

    void rethrowStreamError() {
        if (error) {
            std::exception_ptr e = error;
            error = nullptr;
            std::rethrow_exception(e);
        }
    }
};

namespace {

using State = ZipFileInfoZip::State;

voidpf ZCALLBACK streamOpen(voidpf opaque, const void*, int) {
    return opaque;
}

uLong ZCALLBACK streamRead(voidpf, voidpf holder, void* buf, uLong size) {
    State* s = static_cast<State*>(holder);
    try {
        int got = s->stream->read(buf, size > 0x7fffffff ? 0x7fffffff : static_cast<int>(size));
        if (got <= 0) {
            return 0;
        }
        s->pos += got;
        return static_cast<uLong>(got);
    } catch (...) {
        s->error = std::current_exception();
        return 0;
    }
}

uLong ZCALLBACK streamWrite(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK streamTell(voidpf, voidpf holder) {
    return static_cast<ZPOS64_T>(static_cast<State*>(holder)->pos);
}

long ZCALLBACK streamSeek(voidpf, voidpf holder, ZPOS64_T offset, int origin) {
    State* s = static_cast<State*>(holder);
    int64_t delta = static_cast<int64_t>(offset);
    int64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? s->pos
                   : origin == ZLIB_FILEFUNC_SEEK_END ? s->size
                                                      : 0;
    if (base + delta < 0) {
        return -1;
    }
    try {
        if (!s->stream->seek(delta, origin)) {
            return -1;
        }
    } catch (...) {
        s->error = std::current_exception();
        return -1;
    }
    s->pos = base + delta;
    return 0;
}

int ZCALLBACK streamClose(voidpf, voidpf) {
    return 0;
}

int ZCALLBACK streamError(voidpf, voidpf holder) {
    return static_cast<State*>(holder)->error ? 1 : 0;
}

// Reads the current entry's name whole, however long; minizip's code on failure.
int currentName(unzFile handle, std::string& name) {
    unz_file_info64 info;
    int err = unzGetCurrentFileInfo64(handle, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (err != UNZ_OK) {
        return err;
    }
    // The length is a 16-bit field, so this is bounded.
    std::vector<char> buffer(info.size_filename + 1);
    err = unzGetCurrentFileInfo64(handle, &info, buffer.data(), buffer.size(), nullptr, 0, nullptr,
                                  0);
    name.assign(buffer.data(), info.size_filename);
    return err;
}

}  // namespace

ZipFileInfoZip::ZipFileInfoZip() : state_(new State()) {}

ZipFileInfoZip::~ZipFileInfoZip() {
    close();
    delete state_;
}

void ZipFileInfoZip::close() {
    if (state_->handle) {
        unzClose(state_->handle);
        state_->handle = nullptr;
    }
    state_->listed.clear();
    state_->error = nullptr;
}

int ZipFileInfoZip::open(InputStream& stream) {
    close();
    state_->stream = &stream;
    state_->pos = 0;
    state_->size = stream.available();
    zlib_filefunc64_def functions;
    functions.zopen64_file = streamOpen;
    functions.zread_file = streamRead;
    functions.zwrite_file = streamWrite;
    functions.ztell64_file = streamTell;
    functions.zseek64_file = streamSeek;
    functions.zclose_file = streamClose;
    functions.zerror_file = streamError;
    functions.opaque = state_;
    state_->handle = unzOpen2_64("stream", &functions);
    if (std::exception_ptr error = state_->error) {
        close();
        std::rethrow_exception(error);
    }
    return state_->handle ? 0 : 1;
}

int ZipFileInfoZip::list(std::vector<std::string>& names) {
    if (!state_->handle) {
        return UNZ_PARAMERROR;
    }
    unz_global_info64 global;
    int err = unzGetGlobalInfo64(state_->handle, &global);
    if (err == UNZ_OK && global.number_entry == 0) {
        return UNZ_OK;
    }
    for (err = unzGoToFirstFile(state_->handle); err == UNZ_OK;
         err = unzGoToNextFile(state_->handle)) {
        std::string name;
        unz64_file_pos where;
        err = currentName(state_->handle, name);
        if (err == UNZ_OK) {
            err = unzGetFilePos64(state_->handle, &where);
        }
        if (err != UNZ_OK) {
            break;
        }
        if (!name.empty() && name.back() != '/') {
            names.push_back(name);
            state_->listed.push_back(where);
        }
    }
    state_->rethrowStreamError();
    return err == UNZ_END_OF_LIST_OF_FILE ? UNZ_OK : err;
}

int ZipFileInfoZip::extract(int index, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!state_->handle || index < 0 || static_cast<size_t>(index) >= state_->listed.size()) {
        return UNZ_PARAMERROR;
    }
    unz_file_info64 info;
    int err = unzGoToFilePos64(state_->handle, &state_->listed[index]);
    if (err == UNZ_OK) {
        err = unzGetCurrentFileInfo64(state_->handle, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    }
    if (err == UNZ_OK) {
        err = unzOpenCurrentFile(state_->handle);
    }
    if (err == UNZ_OK) {
        // Grows with the data actually inflated, never with the size the entry claims.
        uint8_t chunk[CHUNK_SIZE];
        int got;
        while ((got = unzReadCurrentFile(state_->handle, chunk, CHUNK_SIZE)) > 0) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        // minizip checks the CRC only when the entry ends where its size said.
        int closed = unzCloseCurrentFile(state_->handle);
        err = got < 0 ? got : closed;
        if (err == UNZ_OK && bytes.size() != info.uncompressed_size) {
            err = UNZ_BADZIPFILE;
        }
    }
    state_->rethrowStreamError();
    if (err != UNZ_OK) {
        bytes.clear();
    }
    return err;
}

}  // namespace io
