#include "SetupHash.h"

#include "HeadOperations.h"
#include "TestSetup.h"

#include <algorithm>
#include <array>
#include <memory>
#include <openssl/evp.h>
#include <stdexcept>

namespace {

class Sha256 {
public:
    Sha256() : context_(EVP_MD_CTX_new(), &EVP_MD_CTX_free)
    {
        if (!context_ || EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1)
            throw std::runtime_error("SHA-256 is not available");
    }
    void add(const std::uint8_t* bytes, std::size_t size) { EVP_DigestUpdate(context_.get(), bytes, size); }
    template <std::size_t N> void add(const std::array<std::uint8_t, N>& bytes)
    {
        add(bytes.data(), bytes.size());
    }
    void add(const ChannelValues& values)
    {
        std::array<std::uint8_t, 2 * kMaxBoardChannels> bytes{};
        for (std::size_t i = 0; i < values.size(); ++i) {
            bytes[2 * i] = static_cast<std::uint8_t>(values[i] & 0xff);
            bytes[2 * i + 1] = static_cast<std::uint8_t>(values[i] >> 8);
        }
        add(bytes);
    }
    std::string hex()
    {
        std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
        unsigned int size = 0;
        EVP_DigestFinal_ex(context_.get(), digest.data(), &size);
        static constexpr const char* kHex = "0123456789abcdef";
        std::string text;
        for (unsigned int i = 0; i < size; ++i) {
            text += kHex[digest[i] >> 4];
            text += kHex[digest[i] & 15];
        }
        return text;
    }

private:
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context_;
};

} // namespace

std::string setupHash(const SetupImage& image)
{
    Sha256 sha;
    sha.add(image.global.encode());
    sha.add(image.boardTable.encode());
    for (const auto& board : image.boards) {
        sha.add(board.reference);
        sha.add(board.thresholdHigh);
        sha.add(board.thresholdLow);
        sha.add(board.mask);
        sha.add(board.order);
        sha.add(board.record.encode());
    }
    return sha.hex();
}

std::optional<SetupImage> readSetupImage(HeadOperations& head)
{
    if (!head.readGlobalSettings() || !head.readBoardTable())
        return std::nullopt;
    SetupImage image;
    image.global = head.setup().global();
    image.boardTable = head.setup().boardTable();
    const int boards = std::min(image.global.gridRows * image.global.gridCols, BoardTable::kEntries);
    for (int k = 0; k < boards; ++k) {
        SetupImage::Board board;
        ChannelValues mask{};
        ChannelValues order{};
        if (!head.readBoardArray(k, BoardArray::Reference, board.reference) ||
            !head.readBoardArray(k, BoardArray::ThresholdHigh, board.thresholdHigh) ||
            !head.readBoardArray(k, BoardArray::ThresholdLow, board.thresholdLow) ||
            !head.readBoardArray(k, BoardArray::Mask, mask) ||
            !head.readBoardArray(k, BoardArray::Order, order) || !head.readBoardRecord(k, board.record))
            return std::nullopt;
        for (int i = 0; i < kMaxBoardChannels; ++i) {
            board.mask[static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(mask[static_cast<std::size_t>(i)]);
            board.order[static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(order[static_cast<std::size_t>(i)]);
        }
        image.boards.push_back(board);
    }
    return image;
}
