// ViewWindowRecord: one window of a player document, with what it shows and its kind. The kind
// decides the class of the record, and the class what freeing the record does with what it holds.
#pragma once

#include <cstdint>

#include "foundation/root_object.h"

class ViewBase;
class Window;

class ViewWindowRecord : public RootObject {
public:
    // A record of the class the kind calls for (window_record_kinds.h), its window null; null
    // when memory is short.
    static ViewWindowRecord* Make(RootObject* object, int16_t kind);

    void SetRecordWindow(Window* window) { window_ = window; }
    Window* RecordWindow() const { return window_; }
    RootObject* RecordObject() const { return object_; }
    int16_t RecordKind() const { return kind_; }
    // The view the record holds; null for the records of a button panel or its window.
    virtual ViewBase* RecordView() const;
    // Lets go of what the record holds as its class says, then frees the record.
    void Free();
    void Destroy() { Free(); }

protected:
    ViewWindowRecord(RootObject* object, int16_t kind) : object_(object), kind_(kind) {}
    // What freeing does with the object (there is one): nothing for the walk and gallery views,
    // which the document frees with its view list, and for the windows the views share.
    virtual void LetGo() {}

private:
    Window* window_ = nullptr;
    RootObject* object_;
    int16_t kind_;
};
