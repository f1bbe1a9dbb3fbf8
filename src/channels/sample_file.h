#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace zavok {

// A channel's sample file: the 100 raw readings of the last burst, one decimal line each, ended by CR LF.
class SampleFile {
public:
    static constexpr int kReadings = 100;
    using Block = std::array<quint32, kReadings>;

    explicit SampleFile(const QString& path);

    const QString& path() const { return path_; }

    // Writes the burst over the file and reads it back into `block`. False when the file could not be written or
    // read back whole; `block` then holds nothing useful and the caller uses the burst it has.
    bool passThrough(const Block& burst, Block& block);

private:
    // The longest line is "4294967295" and its CR LF.
    static constexpr int kLongestLine = 12;

    QString path_;
    QByteArray encodedPath_;
    // The buffers, made once, serve every tick: the tick runs four times per half second for as long as the
    // program runs, so it should not allocate.
    using Text = std::array<char, std::size_t(kReadings) * kLongestLine>;
    Text text_{};     // what was last written, and is written again while the burst stays the same
    Text readBack_{}; // what the file held after it
    struct Written {
        Block burst;
        std::size_t length;
    };
    std::optional<Written> written_;
};

} // namespace zavok
