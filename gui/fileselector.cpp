#include "gui/fileselector.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "gui/frame.h"

namespace fs = std::filesystem;

namespace {
constexpr long kRowHeight = 16;
constexpr long kVisibleRows = 12;
const CColor kPanel = MakeCColor(38, 44, 53);
const CColor kTitleBar = MakeCColor(58, 68, 82);
const CColor kBorder = kPopupBorderColor;
const CColor kField = kDisplayColor;
const CColor kListBack = MakeCColor(24, 28, 34);
const CColor kText = kPopupTextColor;
const CColor kDimText = MakeCColor(150, 160, 172);
const CColor kFolderText = MakeCColor(240, 214, 140);
const CColor kSelected = MakeCColor(70, 110, 160);

std::string lower(std::string s) {
    for (char& c : s) c = (char)std::tolower((unsigned char)c);
    return s;
}

std::string startFolder(const std::string& initial) {
    std::error_code ec;
    if (!initial.empty()) {
        fs::path p(initial);
        if (fs::is_directory(p, ec)) return fs::absolute(p, ec).string();
        if (p.has_parent_path() && fs::is_directory(p.parent_path(), ec)) return fs::absolute(p.parent_path(), ec).string();
    }
    if (const char* home = std::getenv("HOME"); home && fs::is_directory(home, ec)) return home;
    return "/";
}

void button(CDrawContext* c, const CRect& r, const char* label, bool strong) {
    c->setFillColor(strong ? MakeCColor(78, 98, 122) : MakeCColor(58, 66, 78));
    c->drawRect(r, kDrawFilled);
    c->setFrameColor(kBorder);
    c->setLineWidth(1);
    c->drawRect(r, kDrawStroked);
    c->setFontColor(kText);
    c->setFont(kNormalFont, 0, kBoldFace);
    c->drawString(label, r, false, kCenterText);
}
} // namespace

// ---- the dialog ---------------------------------------------------------------

CFileDialogView::CFileDialogView(const CRect& frameSize, FileSelectRequest& req) : CView(frameSize), request(req) {
    const long w = std::min(440L, frameSize.width()), h = std::min(340L, frameSize.height());
    const long left = frameSize.left + (frameSize.width() - w) / 2, top = frameSize.top + (frameSize.height() - h) / 2;
    panel = CRect(left, top, left + w, top + h);
    listRect = CRect(left + 10, top + 46, left + w - 28, top + 46 + kVisibleRows * kRowHeight);
    upRect = CRect(listRect.right + 2, listRect.top, listRect.right + 18, listRect.top + 16);
    downRect = CRect(listRect.right + 2, listRect.bottom - 16, listRect.right + 18, listRect.bottom);
    nameRect = CRect(left + 60, listRect.bottom + 26, left + w - 10, listRect.bottom + 44);
    okRect = CRect(left + w - 170, top + h - 30, left + w - 95, top + h - 10);
    cancelRect = CRect(left + w - 85, top + h - 30, left + w - 10, top + h - 10);
    enterFolder(startFolder(req.initialPath));
    if (req.save && !req.returnPath.empty()) nameText = fs::path(req.returnPath).filename().string();
}

bool CFileDialogView::matches(const std::string& file) const {
    if (request.extensions.empty()) return true;
    const std::string ext = lower(fs::path(file).extension().string());
    for (const std::string& e : request.extensions) {
        std::string want = lower(e);
        if (!want.empty() && want[0] != '.') want = "." + want;
        if (ext == want) return true;
    }
    return false;
}

void CFileDialogView::enterFolder(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(path), ec);
    if (ec || !fs::is_directory(p, ec)) return;
    std::vector<Item> folders, files;
    fs::directory_iterator it(p, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string n = it->path().filename().string();
        if (n.empty() || n[0] == '.') continue;
        std::error_code e2;
        if (it->is_directory(e2)) folders.push_back({n, true});
        else if (matches(n)) files.push_back({n, false});
    }
    auto byName = [](const Item& a, const Item& b) { return lower(a.name) < lower(b.name); };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    list.clear();
    if (p.has_parent_path() && p != p.root_path()) list.push_back({"..", true});
    list.insert(list.end(), folders.begin(), folders.end());
    list.insert(list.end(), files.begin(), files.end());
    currentFolder = p.string();
    selected = -1;
    firstRow = 0;
    setDirty();
}

CRect CFileDialogView::rowRect(long i) const {
    if (i < firstRow || i >= firstRow + kVisibleRows || i >= (long)list.size()) return CRect();
    const long top = listRect.top + (i - firstRow) * kRowHeight;
    return CRect(listRect.left, top, listRect.right, top + kRowHeight);
}

long CFileDialogView::rowOf(const std::string& n) const {
    for (long i = 0; i < (long)list.size(); ++i)
        if (list[i].name == n) return i;
    return -1;
}

void CFileDialogView::scrollTo(long row) {
    if (row < firstRow) firstRow = row;
    if (row >= firstRow + kVisibleRows) firstRow = row - kVisibleRows + 1;
    firstRow = std::max(0L, std::min(firstRow, (long)list.size() - kVisibleRows));
}

void CFileDialogView::select(long row) {
    if (row < 0 || row >= (long)list.size()) return;
    selected = row;
    if (!list[row].folder) nameText = list[row].name;
    scrollTo(row);
    setDirty();
}

void CFileDialogView::accept() {
    if (nameText.empty()) {
        if (selected >= 0 && list[selected].folder) enterFolder((fs::path(currentFolder) / list[selected].name).string());
        return;
    }
    fs::path chosen = fs::path(nameText).is_absolute() ? fs::path(nameText) : fs::path(currentFolder) / nameText;
    std::error_code ec;
    if (fs::is_directory(chosen, ec)) {
        nameText.clear();
        enterFolder(chosen.string());
        return;
    }
    if (!request.save && !fs::is_regular_file(chosen, ec)) return; // only existing files load
    request.returnPath = chosen.lexically_normal().string();
    accepted = true;
    done = true;
}

void CFileDialogView::cancel() {
    accepted = false;
    done = true;
}

CMouseEventResult CFileDialogView::onMouseDown(CPoint& where, const long& buttons) {
    if (okRect.pointInside(where)) accept();
    else if (cancelRect.pointInside(where)) cancel();
    else if (upRect.pointInside(where)) { firstRow = std::max(0L, firstRow - kVisibleRows / 2); setDirty(); }
    else if (downRect.pointInside(where)) {
        firstRow = std::max(0L, std::min(firstRow + kVisibleRows / 2, (long)list.size() - kVisibleRows));
        setDirty();
    } else if (listRect.pointInside(where)) {
        const long row = firstRow + (where.v - listRect.top) / kRowHeight;
        if (row < (long)list.size()) {
            // A folder opens on the first click; a file is chosen on its second.
            const bool again = row == selected;
            if (list[row].folder) enterFolder((fs::path(currentFolder) / list[row].name).string());
            else {
                select(row);
                if (again) accept();
            }
        }
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

long CFileDialogView::onKeyDown(CKeyCode& key) {
    if (key.virt == VKEY_ESCAPE || key.character == 27) cancel();
    else if (key.virt == VKEY_RETURN || key.virt == VKEY_ENTER || key.character == '\r') accept();
    else if (key.virt == VKEY_UP) select(selected <= 0 ? 0 : selected - 1);
    else if (key.virt == VKEY_DOWN) select(selected + 1);
    else if (key.virt == VKEY_BACK || key.character == 8) { if (!nameText.empty()) nameText.pop_back(); }
    else if (key.virt == 0 && key.character >= 32 && key.character < 127 && key.character != '/') {
        if (nameText.size() < 255) nameText += (char)key.character;
    } else return -1;
    setDirty();
    return 1;
}

void CFileDialogView::draw(CDrawContext* c) {
    // Opaque paint only: the dialog is drawn again over itself.
    c->resetClipRect();
    CRect shadow = panel;
    shadow.offset(4, 4);
    c->setFillColor(MakeCColor(12, 14, 17));
    c->drawRect(shadow, kDrawFilled);
    c->setFillColor(kPanel);
    c->drawRect(panel, kDrawFilled);
    c->setLineWidth(1);
    c->setLineStyle(kLineSolid);
    c->setFrameColor(kBorder);
    c->drawRect(panel, kDrawStroked);
    CRect title(panel.left + 1, panel.top + 1, panel.right - 1, panel.top + 22);
    c->setFillColor(kTitleBar);
    c->drawRect(title, kDrawFilled);
    c->setFont(kNormalFont, 0, kBoldFace);
    c->setFontColor(kText);
    CRect titleText = title;
    titleText.inset(8, 0);
    const std::string heading = request.title.empty() ? (request.save ? "Save file" : "Load file") : request.title;
    c->drawString(heading.c_str(), titleText, false, kLeftText);

    c->setFont(kNormalFontSmall);
    c->setFontColor(kDimText);
    c->drawString(currentFolder.c_str(), CRect(panel.left + 10, panel.top + 26, panel.right - 10, panel.top + 42), false, kLeftText);

    c->setFillColor(kListBack);
    c->drawRect(listRect, kDrawFilled);
    c->setFrameColor(kBorder);
    c->drawRect(listRect, kDrawStroked);
    c->setFont(kNormalFont);
    for (long i = firstRow; i < (long)list.size() && i < firstRow + kVisibleRows; ++i) {
        CRect r = rowRect(i);
        if (i == selected) {
            c->setFillColor(kSelected);
            c->drawRect(CRect(r.left + 1, r.top, r.right - 1, r.bottom), kDrawFilled);
        }
        const Item& item = list[i];
        c->setFontColor(item.folder ? kFolderText : kText);
        const std::string label = item.folder ? "[" + item.name + "]" : item.name;
        c->drawString(label.c_str(), CRect(r.left + 6, r.top, r.right - 4, r.bottom), false, kLeftText);
    }
    button(c, upRect, "^", false);
    button(c, downRect, "v", false);

    c->setFont(kNormalFontSmall);
    c->setFontColor(kDimText);
    std::string filter = "Type: ";
    if (request.extensions.empty()) filter += "all files";
    else {
        filter += request.filterName.empty() ? std::string("files") : request.filterName;
        filter += " (";
        for (size_t i = 0; i < request.extensions.size(); ++i)
            filter += (i ? ", *." : "*.") + lower(request.extensions[i]);
        filter += ")";
    }
    c->drawString(filter.c_str(), CRect(panel.left + 10, listRect.bottom + 4, panel.right - 10, listRect.bottom + 20), false, kLeftText);

    c->setFont(kNormalFont, 0, kBoldFace);
    c->setFontColor(kText);
    c->drawString("Name", CRect(panel.left + 10, nameRect.top, nameRect.left - 4, nameRect.bottom), false, kLeftText);
    c->setFillColor(kField);
    c->drawRect(nameRect, kDrawFilled);
    c->setFont(kNormalFont);
    CRect nameText_ = nameRect;
    nameText_.inset(4, 0);
    c->drawString(nameText.c_str(), nameText_, false, kLeftText);
    const long caretX = nameText_.left + c->getStringWidth(nameText.c_str()) + 1;
    c->setFrameColor(kText);
    c->drawLine(CPoint(caretX, nameRect.top + 3), CPoint(caretX, nameRect.bottom - 4));

    button(c, okRect, request.save ? "Save" : "Load", true);
    button(c, cancelRect, "Cancel", false);
    setDirty(false);
}

// ---- the selector -------------------------------------------------------------

CFileSelector::CFileSelector(CFrame* f, CFileSelectorHost* h) : frame(f), host(h) {}

CFileSelector::~CFileSelector() {
    if (ownsHost) delete host;
    delete[] returnBuffer;
}

long CFileSelector::run(FileSelectRequest& request) {
    if (host) {
        const int answer = host->hostSelectFile(request);
        if (answer >= 0) return answer;
    }
    return runInFrame(request);
}

long CFileSelector::runInFrame(FileSelectRequest& request) {
    if (!frame) return 0;
    CFileDialogView* dialog = new CFileDialogView(frame->getViewSize(), request);
    CView* previous = frame->getModalView();
    frame->setModalView(dialog);
    const bool finished = frame->runModal([dialog] { return dialog->isDone(); });
    const bool accepted = finished && dialog->wasAccepted();
    frame->setModalView(previous);
    dialog->forget();
    return accepted ? 1 : 0;
}
