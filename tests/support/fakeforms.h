// A recording runtime for the handler tests: what the handlers asked of the window, in order.
#pragma once

#include "forms/forms.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <array>
#include <deque>

// The window and the runtime's services in one, recording what the handlers ask of them, with a
// pinned clock and a scripted Rnd.
class FakeForms final : public Forms, public Runtime
{
public:
    struct FakePicture final : Picture
    {
        explicit FakePicture(QString s)
            : source(std::move(s))
        {}
        QString source; // a path, or "built-in chalk" / "built-in eraser"
    };
    struct CircleCall
    {
        float x, y, radius;
        Colour outline, fill;
    };

    // Everything the handlers did, one entry per call, in order.
    QStringList log;
    std::array<bool, 6> chalkVisible {true, true, true, true, true, true};
    bool eraserVisible = false;
    InHand inHand; // as the handlers last said it
    QString caption;
    Colour fillColour = 0xFFFFFF;
    QList<CircleCall> circles;
    QString mouseIcon; // source of the picture last set, empty for none
    QStringList errors;

    // Set by the test.
    std::deque<float> rnd;
    mutable QList<QDate> dates {QDate(2001, 3, 11)}; // today() hands these out in turn, the last one repeating
    QSet<QByteArray> unreadable; // paths whose LoadPicture fails
    QByteArray programDirectory = QByteArrayLiteral("/opt/zav");
    QList<QByteArray> loadedPaths; // every path LoadPicture was asked for, as bytes

    void Unload() override { log << QStringLiteral("Unload"); }
    void PopupMenu(const PopupPlace &at) override
    {
        log << QStringLiteral("PopupMenu %1,%2").arg(at.global.x()).arg(at.global.y());
    }
    void setChalkVisible(int index, bool visible) override
    {
        log << QStringLiteral("chalk %1 %2").arg(index).arg(visible ? "shown" : "hidden");
        if (index >= 0 && index < 6)
            chalkVisible[index] = visible;
    }
    void setEraserVisible(bool visible) override
    {
        log << QStringLiteral("eraser %1").arg(visible ? "shown" : "hidden");
        eraserVisible = visible;
    }
    void setInHand(InHand held) override { inHand = held; }
    void setDateCaption(const QString &text) override
    {
        log << QStringLiteral("caption");
        caption = text;
    }
    void Cls() override
    {
        log << QStringLiteral("Cls");
        circles.clear();
    }
    void setFillColor(Colour colour) override
    {
        log << QStringLiteral("FillColor %1").arg(colour);
        fillColour = colour;
    }
    void Circle(float x, float y, float radius, Colour outline) override
    {
        log << QStringLiteral("Circle");
        circles.append({x, y, radius, outline, fillColour});
    }
    void setMouseIcon(const PictureRef &picture) override
    {
        const auto *fake = dynamic_cast<const FakePicture *>(picture.get());
        mouseIcon = fake ? fake->source : QString();
        log << QStringLiteral("MouseIcon ") + mouseIcon;
    }
    PictureRef LoadPicture(const QByteArray &path, QString *error) override
    {
        log << QStringLiteral("LoadPicture ") + QString::fromUtf8(path);
        loadedPaths << path;
        if (unreadable.contains(path)) {
            if (error)
                *error = QStringLiteral("No such file or directory");
            return nullptr;
        }
        return std::make_shared<FakePicture>(QString::fromUtf8(path));
    }
    PictureRef builtInCursor(BuiltInCursor which) override
    {
        return std::make_shared<FakePicture>(which == BuiltInCursor::Chalk ? QStringLiteral("built-in chalk")
                                                                           : QStringLiteral("built-in eraser"));
    }
    QByteArray appPath() const override { return programDirectory; }
    void Randomize() override { log << QStringLiteral("Randomize"); }
    float Rnd() override
    {
        if (rnd.empty())
            return 0.0f;
        const float r = rnd.front();
        rnd.pop_front();
        return r;
    }
    QDate today() const override
    {
        const QDate d = dates.first();
        if (dates.size() > 1)
            dates.removeFirst();
        return d;
    }
    void reportError(const QString &line) override { errors << line; }
};
