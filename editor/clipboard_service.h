// The clipboard passes through here, so tests can read what was put on it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace marvolt {

class ClipboardService {
  public:
    virtual ~ClipboardService() = default;
    virtual void SetImage(const QImage& image) = 0;
    virtual void SetText(const QString& text) = 0;
    // One piece of content in several forms at once, for the receiving program
    // to choose from: HTML, RTF and plain text. False when the clipboard did
    // not take it.
    virtual bool SetFormatted(const QString& html, const QByteArray& rtf, const QString& text) = 0;
};

class QtClipboardService final : public ClipboardService {
  public:
    void SetImage(const QImage& image) override;
    void SetText(const QString& text) override;
    bool SetFormatted(const QString& html, const QByteArray& rtf, const QString& text) override;
};

}  // namespace marvolt
