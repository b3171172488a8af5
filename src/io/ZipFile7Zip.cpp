#include "io/ZipFile7Zip.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "io/ArchiveLimits.h"
#include "io/InputStream.h"
#include "lang/String.h"

extern "C" {
#include "7z.h"
#include "7zCrc.h"
}

namespace io {

namespace {

const size_t LOOK_BUFFER_SIZE = 1 << 14;

// ISzAlloc that refuses claims above a limit set per archive.
struct LimitedAlloc {
    ISzAlloc vt;
    size_t limit;
};

void* limitedAlloc(ISzAllocPtr p, size_t size) {
    const LimitedAlloc* self = reinterpret_cast<const LimitedAlloc*>(p);
    return size > self->limit ? nullptr : std::malloc(size);
}

void limitedFree(ISzAllocPtr, void* address) {
    std::free(address);
}

// ISeekInStream over an io::InputStream. Stream exceptions must not cross the
// C decoder: they become read errors.
struct StreamAdapter {
    ISeekInStream vt;
    InputStream* stream;
    int64_t pos;
    int64_t size;
};

SRes adapterRead(ISeekInStreamPtr p, void* buf, size_t* size) {
    StreamAdapter* self = reinterpret_cast<StreamAdapter*>(const_cast<ISeekInStream*>(p));
    int want = *size > INT_MAX ? INT_MAX : static_cast<int>(*size);
    *size = 0;
    try {
        int got = self->stream->read(buf, want);
        if (got > 0) {
            *size = static_cast<size_t>(got);
            self->pos += got;
        }
        return SZ_OK;
    } catch (...) {
        return SZ_ERROR_READ;
    }
}

SRes adapterSeek(ISeekInStreamPtr p, Int64* pos, ESzSeek origin) {
    StreamAdapter* self = reinterpret_cast<StreamAdapter*>(const_cast<ISeekInStream*>(p));
    int64_t base = origin == SZ_SEEK_CUR ? self->pos : (origin == SZ_SEEK_END ? self->size : 0);
    int64_t target = base + *pos;
    if (target < 0) {
        return SZ_ERROR_READ;
    }
    try {
        int streamOrigin = origin == SZ_SEEK_CUR ? 1 : (origin == SZ_SEEK_END ? 2 : 0);
        if (!self->stream->seek(*pos, streamOrigin)) {
            return SZ_ERROR_READ;
        }
    } catch (...) {
        return SZ_ERROR_READ;
    }
    self->pos = target;
    *pos = target;
    return SZ_OK;
}

void generateCrcTableOnce() {
    static std::once_flag once;
    std::call_once(once, [] { CrcGenerateTable(); });
}

}  // namespace

class ZipFile7Zip::Impl : public lang::Object {
public:
    Impl();
    ~Impl() override { close(); }

    int open(InputStream& stream);
    int list(std::vector<std::string>& names);
    int extract(int index, std::vector<uint8_t>& bytes);

private:
    void close();
    void dropCache();

    CSzArEx db_;
    StreamAdapter adapter_;
    CLookToRead2 look_;
    std::vector<Byte> lookBuffer_;
    LimitedAlloc alloc_;
    UInt32 blockIndex_;
    Byte* block_;
    size_t blockSize_;
    bool open_;
    std::vector<UInt32> listed_;  // database index of each listed entry
};

ZipFile7Zip::Impl::Impl()
    : lookBuffer_(LOOK_BUFFER_SIZE), block_(nullptr), blockSize_(0), open_(false) {
    alloc_.vt.Alloc = limitedAlloc;
    alloc_.vt.Free = limitedFree;
    alloc_.limit = 0;
    adapter_.vt.Read = adapterRead;
    adapter_.vt.Seek = adapterSeek;
    adapter_.stream = nullptr;
    blockIndex_ = static_cast<UInt32>(-1);
    SzArEx_Init(&db_);
}

void ZipFile7Zip::Impl::dropCache() {
    std::free(block_);
    block_ = nullptr;
    blockSize_ = 0;
    blockIndex_ = static_cast<UInt32>(-1);
}

void ZipFile7Zip::Impl::close() {
    dropCache();
    if (open_) {
        SzArEx_Free(&db_, &alloc_.vt);
        open_ = false;
    }
    listed_.clear();
}

int ZipFile7Zip::Impl::open(InputStream& stream) {
    close();
    adapter_.stream = &stream;
    adapter_.pos = 0;
    adapter_.size = stream.available();
    if (adapter_.size < 0) {
        adapter_.size = 0;
    }
    alloc_.limit = archiveAllocationLimit(static_cast<uint64_t>(adapter_.size));

    LookToRead2_CreateVTable(&look_, False);
    look_.buf = lookBuffer_.data();
    look_.bufSize = lookBuffer_.size();
    look_.realStream = &adapter_.vt;
    LookToRead2_INIT(&look_);

    generateCrcTableOnce();
    SzArEx_Init(&db_);
    SRes res = SzArEx_Open(&db_, &look_.vt, &alloc_.vt, &alloc_.vt);
    // On failure the decoder has freed what it built.
    open_ = res == SZ_OK;
    return res;
}

int ZipFile7Zip::Impl::list(std::vector<std::string>& names) {
    if (!open_) {
        return SZ_ERROR_FAIL;
    }
    std::u16string scratch;
    for (UInt32 i = 0; i < db_.NumFiles; ++i) {
        if (SzArEx_IsDir(&db_, i)) {
            continue;
        }
        size_t length = SzArEx_GetFileNameUtf16(&db_, i, nullptr);
        scratch.resize(length);
        SzArEx_GetFileNameUtf16(&db_, i, reinterpret_cast<UInt16*>(&scratch[0]));
        // The length counts the terminator.
        names.push_back(lang::toUTF8(scratch.substr(0, length ? length - 1 : 0)));
        listed_.push_back(i);
    }
    return SZ_OK;
}

int ZipFile7Zip::Impl::extract(int index, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!open_ || index < 0 || static_cast<size_t>(index) >= listed_.size()) {
        return SZ_ERROR_PARAM;
    }
    size_t offset = 0;
    size_t size = 0;
    SRes res = SzArEx_Extract(&db_, &look_.vt, listed_[index], &blockIndex_, &block_, &blockSize_,
                              &offset, &size, &alloc_.vt, &alloc_.vt);
    if (res != SZ_OK) {
        // A half-decoded block must not serve the next entry.
        dropCache();
        return res;
    }
    if (size > 0) {
        bytes.assign(block_ + offset, block_ + offset + size);
    }
    return SZ_OK;
}

ZipFile7Zip::ZipFile7Zip() : impl_(new Impl()) {}

ZipFile7Zip::~ZipFile7Zip() = default;

int ZipFile7Zip::open(InputStream& stream) {
    return impl_->open(stream);
}

int ZipFile7Zip::list(std::vector<std::string>& names) {
    return impl_->list(names);
}

int ZipFile7Zip::extract(int index, std::vector<uint8_t>& bytes) {
    return impl_->extract(index, bytes);
}

}  // namespace io
