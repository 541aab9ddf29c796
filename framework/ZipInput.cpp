#include "ZipInput.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FileSystem.h"
#include "Zip.h"

namespace fw {

namespace {

std::atomic<uint64_t> diskReads{0};
std::atomic<uint64_t> diskBytes{0};

// minizip reads entries in 16 KB pieces; blocks of that size keep the
// directory's block cached while an entry's data passes through the others.
constexpr uint64_t kBlockSize = 16 * 1024;
constexpr size_t kBlocks = 4;

class BlockFile {
public:
    bool open(const std::string& path) {
        // Unbuffered: the blocks are the buffer.
        in_.rdbuf()->pubsetbuf(nullptr, 0);
        in_.open(toPath(path), std::ios::binary);
        if (!in_.is_open() || !in_.seekg(0, std::ios::end)) return false;
        const std::streamoff end = in_.tellg();
        if (end < 0) return false;
        size_ = static_cast<uint64_t>(end);
        return true;
    }

    // Past the end a read gives nothing without touching the disk: a damaged
    // directory makes minizip read there again and again.
    uint64_t read(char* to, uint64_t count) {
        uint64_t done = 0;
        while (done < count && position_ < size_) {
            const Block* block = blockAt(position_ / kBlockSize);
            if (!block) break;
            const uint64_t offset = position_ - block->index * kBlockSize;
            const uint64_t take = std::min(count - done, block->bytes.size() - offset);
            if (take == 0) break;
            std::memcpy(to + done, block->bytes.data() + offset, take);
            done += take;
            position_ += take;
        }
        return done;
    }

    bool seek(int64_t offset, int origin) {
        int64_t base = 0;
        if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = static_cast<int64_t>(position_);
        if (origin == ZLIB_FILEFUNC_SEEK_END) base = static_cast<int64_t>(size_);
        if (offset < 0 && base < -offset) return false;
        position_ = static_cast<uint64_t>(base + offset);
        return true;
    }

    uint64_t position() const { return position_; }
    bool failed() const { return failed_; }

private:
    struct Block {
        uint64_t index = 0;
        std::vector<char> bytes;  // empty while unused
        uint64_t lastUse = 0;
    };

    const Block* blockAt(uint64_t index) {
        ++uses_;
        Block* victim = &blocks_.front();
        for (Block& block : blocks_) {
            if (!block.bytes.empty() && block.index == index) {
                block.lastUse = uses_;
                return &block;
            }
            if (block.lastUse < victim->lastUse) victim = &block;
        }
        const uint64_t start = index * kBlockSize;
        victim->bytes.resize(static_cast<size_t>(std::min(kBlockSize, size_ - start)));
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(start));
        in_.read(victim->bytes.data(), static_cast<std::streamsize>(victim->bytes.size()));
        diskReads.fetch_add(1, std::memory_order_relaxed);
        diskBytes.fetch_add(static_cast<uint64_t>(std::max<std::streamsize>(in_.gcount(), 0)),
                            std::memory_order_relaxed);
        if (in_.gcount() != static_cast<std::streamsize>(victim->bytes.size())) {
            // The file shrank or cannot be read: minizip sees a short read.
            failed_ = true;
            victim->bytes.clear();
            return nullptr;
        }
        victim->index = index;
        victim->lastUse = uses_;
        return victim;
    }

    std::ifstream in_;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    std::array<Block, kBlocks> blocks_;
    uint64_t uses_ = 0;
    bool failed_ = false;
};

BlockFile& fileOf(voidpf stream) { return *static_cast<BlockFile*>(stream); }

voidpf ZCALLBACK openFile(voidpf, const void* path, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ || !path) return nullptr;
    auto file = std::make_unique<BlockFile>();
    if (!file->open(static_cast<const char*>(path))) return nullptr;
    return file.release();
}

uLong ZCALLBACK readFile(voidpf, voidpf stream, void* to, uLong count) {
    return static_cast<uLong>(fileOf(stream).read(static_cast<char*>(to), count));
}

uLong ZCALLBACK writeFile(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK tellFile(voidpf, voidpf stream) { return fileOf(stream).position(); }

long ZCALLBACK seekFile(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    // minizip passes a step back from the current position as a wrapped unsigned value.
    return fileOf(stream).seek(static_cast<int64_t>(offset), origin) ? 0 : -1;
}

int ZCALLBACK closeFile(voidpf, voidpf stream) {
    delete &fileOf(stream);
    return 0;
}

int ZCALLBACK fileError(voidpf, voidpf stream) { return fileOf(stream).failed() ? 1 : 0; }

}  // namespace

zlib_filefunc64_def bufferedZipInput() {
    return {openFile, readFile, writeFile, tellFile, seekFile, closeFile, fileError, nullptr};
}

ZipDiskReads zipDiskReads() {
    return {diskReads.load(std::memory_order_relaxed), diskBytes.load(std::memory_order_relaxed)};
}

}  // namespace fw
