#pragma once

#include <QPoint>

#include <cstdint>
#include <optional>

// Where a popup menu opens, in screen pixels: at the click that asked for it, with that click's
// time (so that its double is not taken for a choice in the menu), or, from the keyboard or
// assistive technology, beside the picture, with no time.
struct PopupPlace
{
    QPoint global;
    std::optional<quint64> clickTime;
};

// The window's event handlers, as the runtime raises them.
class FormEvents
{
public:
    virtual ~FormEvents() = default;

    virtual void Form_Load() = 0;
    virtual void 書ける_MouseMove(std::int16_t button, std::int16_t shift, float x, float y) = 0;
    virtual void チョーク_Click(std::int16_t index) = 0;
    virtual void 黒板消し_Click(const PopupPlace &menuAt) = 0;
    virtual void AllClear_Click() = 0;
    virtual void Date_Click() = 0;
    virtual void ExitEnd_Click() = 0;
};
