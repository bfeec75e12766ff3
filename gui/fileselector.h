// Choosing a file to load or save: the host's own dialog when it offers one,
// otherwise a dialog drawn inside the frame (folders and files of the current
// folder, a name field, a type filter, load or save, cancel).
#pragma once

#include <string>
#include <vector>

#include "gui/view.h"

class AudioEffectX;
struct VstFileSelect;

struct FileSelectRequest {
    bool save = false;
    std::string title;
    std::string initialPath;              // a folder, or a file whose folder is used
    std::string filterName;               // e.g. "VST Effect FXP"
    std::vector<std::string> extensions;  // without the dot; empty shows every file
    std::string returnPath;               // the chosen file
};

// A host that may show its own file dialog.
class CFileSelectorHost {
public:
    virtual ~CFileSelectorHost() = default;
    // 1 chosen, 0 cancelled, -1 the host has no dialog of its own.
    virtual int hostSelectFile(FileSelectRequest& request) = 0;
};

class CFileSelector {
public:
    explicit CFileSelector(CFrame* frame, CFileSelectorHost* host = nullptr);
    // Owned by an effect: asks its host first, then uses its editor's frame.
    explicit CFileSelector(AudioEffectX* effect);
    ~CFileSelector();

    // 1 when a file was chosen (returnPath set), 0 when cancelled.
    long run(FileSelectRequest& request);
    // The VST record: fills returnPath (its buffer, or one of ours that
    // stays valid until the next run) and nbReturnPath.
    long run(VstFileSelect* request);

    void setFrame(CFrame* f) { frame = f; }

private:
    long runInFrame(FileSelectRequest& request);

    CFrame* frame = nullptr;
    CFileSelectorHost* host = nullptr;
    bool ownsHost = false;
    AudioEffectX* effect = nullptr;
    char* returnBuffer = nullptr;
};

// The dialog drawn in the frame; public so tests can find its parts.
class CFileDialogView : public CView {
public:
    CFileDialogView(const CRect& frameSize, FileSelectRequest& request);

    struct Item {
        std::string name;
        bool folder;
    };

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
    long onKeyDown(CKeyCode& key) override;

    bool isDone() const { return done; }
    bool wasAccepted() const { return accepted; }
    const std::string& folder() const { return currentFolder; }
    const std::vector<Item>& items() const { return list; }
    const std::string& name() const { return nameText; }
    // Frame rectangle of list row i when scrolled into view, else empty.
    CRect rowRect(long i) const;
    long rowOf(const std::string& name) const;
    const CRect& okButton() const { return okRect; }
    const CRect& cancelButton() const { return cancelRect; }
    void enterFolder(const std::string& path);

private:
    void accept();
    void cancel();
    void select(long row);
    void scrollTo(long row);
    bool matches(const std::string& file) const;

    FileSelectRequest& request;
    std::string currentFolder;
    std::vector<Item> list;
    std::string nameText;
    long selected = -1;
    long firstRow = 0;
    bool done = false;
    bool accepted = false;
    CRect panel, listRect, nameRect, okRect, cancelRect, upRect, downRect;
};
