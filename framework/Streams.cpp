#include "Streams.h"

#include <algorithm>
#include <cstring>

int64_t TStream::Size()
{
    const int64_t here = Seek(0, TSeekOrigin::soCurrent);
    const int64_t end = Seek(0, TSeekOrigin::soEnd);
    Seek(here, TSeekOrigin::soBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, size_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw Exception("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    uint8_t buffer[65536];
    int64_t left = count;
    while (left > 0) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(left, sizeof buffer));
        source.ReadBuffer(buffer, chunk);
        WriteBuffer(buffer, chunk);
        left -= static_cast<int64_t>(chunk);
    }
    return count;
}

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    if (position_ >= data_.size())
        return 0;
    const size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return 0;
    if (position_ + count > data_.size())
        data_.resize(position_ + count);
    std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent)
        base = static_cast<int64_t>(position_);
    else if (origin == TSeekOrigin::soEnd)
        base = static_cast<int64_t>(data_.size());
    // A position past the end is allowed (a later write fills the gap); before the start is not.
    position_ = static_cast<size_t>(std::max<int64_t>(0, base + offset));
    return static_cast<int64_t>(position_);
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TMemoryStream::SetSize(size_t size)
{
    data_.resize(size);
    position_ = std::min(position_, size);
}

void TMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    const int64_t size = source.Size();
    data_.resize(static_cast<size_t>(size));
    position_ = 0;
    source.ReadBuffer(data_.data(), data_.size());
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, TFileMode::fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& target) const
{
    target.WriteBuffer(data_.data(), data_.size());
}

void TMemoryStream::SaveToFile(const std::string& fileName) const
{
    TFileStream file(fileName, TFileMode::fmCreate);
    SaveToStream(file);
}

TFileStream::TFileStream(const std::string& fileName, TFileMode mode)
    : file_(std::fopen(fileName.c_str(), mode == TFileMode::fmCreate ? "wb" : "rb"))
{
    if (!file_)
        throw EFOpenError(Format(mode == TFileMode::fmCreate ? "Cannot create file \"%s\""
                                                             : "Cannot open file \"%s\"",
                                 fileName.c_str()));
}

TFileStream::~TFileStream()
{
    std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    return std::fread(buffer, 1, count, file_);
}

size_t TFileStream::Write(const void* buffer, size_t count)
{
    return std::fwrite(buffer, 1, count, file_);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent   ? SEEK_CUR
                                                          : SEEK_END;
    if (std::fseek(file_, static_cast<long>(offset), whence) != 0)
        throw EReadError("Stream seek error");
    return std::ftell(file_);
}
