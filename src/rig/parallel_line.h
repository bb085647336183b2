#pragma once
// The parallel port line the CW and PTT keyers drive: its control register, through the
// kernel's ppdev driver only. The base address the operator typed picks the port.

#include <QList>
#include <QString>
#include <optional>

namespace zev {

// Control register values: 3 keys (CW key down, PTT on), 2 releases.
constexpr quint8 kParallelKeyDown = 3;
constexpr quint8 kParallelKeyUp = 2;

// A base address text: "&H378" is hexadecimal, "888" decimal. Nothing, with the reason in
// `error`, for a text that is neither.
std::optional<quint32> ParseBaseAddress(const QString &text, QString *error = nullptr);

// The ppdev device ("<devFolder>/parportN") of the parallel port at the address the text
// names, found from <procRoot>/sys/dev/parport/*/base-addr. Empty, with the reason in
// `error`, when the text is bad or no port of this machine is at that address.
QString ParportForAddress(const QString &baseText, const QString &procRoot = QStringLiteral("/proc"),
                          const QString &devFolder = QStringLiteral("/dev"),
                          QString *error = nullptr);

class ParallelLine {
public:
    virtual ~ParallelLine() = default;
    // Opens and claims the port at the base address text. False, with errorText(), when
    // it failed; the line is then closed. An open line is closed first.
    virtual bool open(const QString &baseText) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Writes the control register. False, with errorText(), when closed or refused.
    virtual bool writeControl(quint8 value) = 0;
    virtual QString errorText() const = 0;
    // The errno behind the last open failure, 0 when none is known; see port_errors.h.
    virtual int openErrno() const = 0;
};

// A parallel line for tests: ports exist at `presentBases`; every control write is kept.
class RecordingParallelLine : public ParallelLine {
public:
    QList<quint32> presentBases{0x378};
    QList<quint8> controlWrites;
    quint32 openedBase = 0;

    bool open(const QString &baseText) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool writeControl(quint8 value) override;
    QString errorText() const override { return error_; }
    int openErrno() const override { return 0; }

private:
    bool open_ = false;
    QString error_;
};

}  // namespace zev
