#include "print/word/bookmark_fill.h"

#include "encoding/error.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace velmora::print {
namespace {

// Each filled bookmark walks the whole part a few times. A form has some
// dozens of bookmarks in some thousands of nodes; the bound keeps a hostile
// template (thousands of bookmarks in millions of nodes) from running for
// hours.
constexpr std::size_t kMaxWalkedNodes = 50'000'000;

// The position of every node in document order and the position of its
// last descendant, so that "inside the bookmark" is two comparisons. The
// walk keeps its own stack: a hostile part may nest deeper than the call
// stack allows.
class DocumentOrder {
  public:
    explicit DocumentOrder(pugi::xml_node root) {
        std::vector<std::pair<pugi::xml_node, bool>> stack{{root, false}};
        std::size_t counter = 0;
        while (!stack.empty()) {
            auto [node, leaving] = stack.back();
            stack.pop_back();
            if (leaving) {
                spans_[node.internal_object()].second = counter - 1;
                continue;
            }
            spans_[node.internal_object()] = {counter, counter};
            ++counter;
            stack.push_back({node, true});
            std::vector<pugi::xml_node> children(node.children().begin(), node.children().end());
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                stack.push_back({*it, false});
            }
        }
    }

    bool Known(const pugi::xml_node& node) const { return spans_.contains(node.internal_object()); }
    std::size_t Index(const pugi::xml_node& node) const {
        return spans_.at(node.internal_object()).first;
    }
    std::size_t Last(const pugi::xml_node& node) const {
        return spans_.at(node.internal_object()).second;
    }

  private:
    std::unordered_map<const void*, std::pair<std::size_t, std::size_t>> spans_;
};

// Elements in document order, the whole tree walked without recursion.
std::vector<pugi::xml_node> Elements(pugi::xml_node root) {
    std::vector<pugi::xml_node> found;
    std::vector<pugi::xml_node> stack{root};
    while (!stack.empty()) {
        pugi::xml_node node = stack.back();
        stack.pop_back();
        if (node.type() != pugi::node_element) {
            continue;
        }
        found.push_back(node);
        std::vector<pugi::xml_node> children(node.children().begin(), node.children().end());
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return found;
}

class BookmarkFill {
  public:
    BookmarkFill(pugi::xml_document& part)
        : root_(part.document_element()), w_(root_, {kWordNs, kWordStrictNs}, "w:") {}

    int Run(const BookmarkValue& valueOf) {
        std::vector<pugi::xml_node> starts;
        for (pugi::xml_node node : Elements(root_)) {
            if (w_.Is(node, "bookmarkStart")) {
                starts.push_back(node);
            }
        }
        const std::size_t nodes = Elements(root_).size();
        int filled = 0;
        for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
            if (static_cast<std::size_t>(filled + 1) * nodes > kMaxWalkedNodes) {
                throw Error("В шаблоне слишком много закладок для заполнения (" +
                            std::to_string(starts.size()) + ") в слишком большом документе");
            }
            // An outer bookmark filled earlier may have taken this one away.
            if (!it->parent()) {
                continue;
            }
            const std::optional<std::string> value = valueOf(it->attribute(w_("name")).value());
            if (value) {
                Fill(*it, *value);
                ++filled;
            }
        }
        return filled;
    }

  private:
    pugi::xml_node Ancestor(pugi::xml_node node, std::string_view local) const {
        for (node = node.parent(); node; node = node.parent()) {
            if (w_.Is(node, local)) {
                return node;
            }
        }
        return {};
    }

    pugi::xml_node FindEnd(pugi::xml_node start) const {
        const std::string_view id = start.attribute(w_("id")).value();
        for (pugi::xml_node node : Elements(root_)) {
            if (w_.Is(node, "bookmarkEnd") && id == node.attribute(w_("id")).value()) {
                return node;
            }
        }
        return {};
    }

    // Markers stay where they are when the text around them goes.
    bool IsMarker(const pugi::xml_node& node) const {
        for (const char* name : {"bookmarkStart", "bookmarkEnd", "commentRangeStart",
                                 "commentRangeEnd", "permStart", "permEnd", "pPr"}) {
            if (w_.Is(node, name)) {
                return true;
            }
        }
        return false;
    }

    bool InParagraph(const pugi::xml_node& node) const {
        return w_.Is(node, "p") || Ancestor(node, "p");
    }

    // The run format the value takes: the first run inside the bookmark,
    // else the last one before it in its paragraph, else the paragraph
    // mark's.
    pugi::xml_node TemplateFormat(const DocumentOrder& order, std::size_t start, std::size_t end,
                                  pugi::xml_node paragraph) const {
        pugi::xml_node before;
        for (pugi::xml_node node : Elements(root_)) {
            if (!w_.Is(node, "r") || !order.Known(node)) {
                continue;
            }
            const std::size_t index = order.Index(node);
            if (index > start && index < end) {
                return node.child(w_("rPr"));
            }
            if (index < start && paragraph && Ancestor(node, "p") == paragraph) {
                before = node.child(w_("rPr"));
            }
        }
        if (before) {
            return before;
        }
        return paragraph.child(w_("pPr")).child(w_("rPr"));
    }

    void AppendValue(pugi::xml_node run, std::string_view value) const {
        std::string piece;
        const auto flush = [&] {
            if (piece.empty()) {
                return;
            }
            pugi::xml_node text = run.append_child(w_("t"));
            text.append_attribute("xml:space") = "preserve";
            text.text() = piece.c_str();
            piece.clear();
        };
        for (std::size_t i = 0; i < value.size(); ++i) {
            const char c = value[i];
            if (c == '\r' || c == '\n') {
                flush();
                run.append_child(w_("br"));
                if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
                    ++i;
                }
            } else if (c == '\t') {
                flush();
                run.append_child(w_("tab"));
            } else {
                piece += c;
            }
        }
        flush();
    }

    void Fill(pugi::xml_node start, const std::string& value) {
        pugi::xml_node end = FindEnd(start);
        const DocumentOrder order(root_);
        const std::size_t s = order.Index(start);
        const std::size_t e = end && order.Index(end) > s ? order.Index(end) : s;

        // Where the value goes: after the start marker in its paragraph, or
        // at the beginning of the first paragraph after a marker that stands
        // between paragraphs.
        pugi::xml_node first = InParagraph(start) ? Ancestor(start, "p") : pugi::xml_node();
        if (!first) {
            for (pugi::xml_node node : Elements(root_)) {
                if (w_.Is(node, "p") && order.Known(node) && order.Index(node) > s) {
                    first = node;
                    break;
                }
            }
        }
        pugi::xml_node last = end && InParagraph(end) ? Ancestor(end, "p") : first;

        if (first) {
            const pugi::xml_node format = TemplateFormat(order, s, e, first);
            pugi::xml_node run;
            if (InParagraph(start)) {
                run = start.parent().insert_child_after(w_("r"), start);
            } else if (pugi::xml_node properties = first.child(w_("pPr"))) {
                run = first.insert_child_after(w_("r"), properties);
            } else {
                run = first.prepend_child(w_("r"));
            }
            if (format) {
                pugi::xml_node copied = run.append_copy(format);
                copied.set_name(w_("rPr"));
                for (const char* mark : {"ins", "del", "moveFrom", "moveTo", "rPrChange"}) {
                    copied.remove_child(w_(mark));
                }
            }
            AppendValue(run, value);
        }

        if (e > s) {
            Clear(order, s, e, first ? first.parent() : pugi::xml_node(), first, last);
            // The paragraph mark inside the bookmark went with its text: the
            // rest of the last paragraph joins the first.
            if (first && last && first != last && first.parent() == last.parent()) {
                std::vector<pugi::xml_node> rest;
                for (pugi::xml_node child : last.children()) {
                    if (!w_.Is(child, "pPr")) {
                        rest.push_back(child);
                    }
                }
                for (pugi::xml_node child : rest) {
                    first.append_move(child);
                }
                last.parent().remove_child(last);
            }
        }
        if (end) {
            end.parent().remove_child(end);
        }
        start.parent().remove_child(start);
    }

    // Removes what lies wholly between the markers: runs and other inline
    // content of paragraphs, and whole paragraphs and tables that stand
    // beside the first paragraph. Markers, paragraph properties and what
    // was added after the order was taken stay.
    void Clear(const DocumentOrder& order, std::size_t s, std::size_t e, pugi::xml_node blockParent,
               pugi::xml_node first, pugi::xml_node last) {
        std::vector<pugi::xml_node> gone;
        std::vector<pugi::xml_node> stack{root_};
        while (!stack.empty()) {
            pugi::xml_node node = stack.back();
            stack.pop_back();
            for (pugi::xml_node child : node.children()) {
                if (!order.Known(child) || order.Last(child) < s || order.Index(child) > e) {
                    continue;
                }
                const bool inside = order.Index(child) > s && order.Last(child) < e;
                const bool block =
                    (w_.Is(child, "p") || w_.Is(child, "tbl") || w_.Is(child, "sdt")) &&
                    child.parent() == blockParent && child != first && child != last;
                const bool inline_content =
                    InParagraph(node) && !w_.Is(child, "p") && !IsMarker(child);
                if (inside && (block || inline_content)) {
                    gone.push_back(child);
                } else if (child.type() == pugi::node_element) {
                    stack.push_back(child);
                }
            }
        }
        for (pugi::xml_node node : gone) {
            node.parent().remove_child(node);
        }
    }

    pugi::xml_node root_;
    Names w_;
};

}  // namespace

int FillBookmarks(pugi::xml_document& part, const BookmarkValue& valueOf) {
    return BookmarkFill(part).Run(valueOf);
}

}  // namespace velmora::print
