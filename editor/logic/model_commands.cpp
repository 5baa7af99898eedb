#include "editor/logic/model_commands.h"

#include <string_view>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"
#include "persistence/text_codec.h"

namespace marvolt {

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

namespace edit {

namespace {

// Longest text a name record of the model file holds, in its one-byte characters.
constexpr size_t kLongestStoredName = 255;
constexpr const char* kTryAgain = "\nПожалуйста, введите другое значение.";

Refusal Warning(std::string text) {
    return {RefusalBox::kWarning, std::move(text)};
}

CommandResult Refused(Refusal refusal) {
    return {false, std::move(refusal), kNoIndex};
}

// Blank as the toolkit's trimming counts it: ASCII white space and the two
// spaces of the Latin-1 range (next line, no-break space).
bool IsBlank(std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == ' ' || (c >= '\t' && c <= '\r'))
            continue;
        if (c == 0xC2 && i + 1 < name.size()) {
            const auto next = static_cast<unsigned char>(name[i + 1]);
            if (next == 0x85 || next == 0xA0) {
                ++i;
                continue;
            }
        }
        return false;
    }
    return true;
}

std::string EmptyNameText() {
    return "Имя объекта не должно быть пустой строкой." + std::string(17, ' ') + kTryAgain;
}

// What the model file cannot hold: characters outside its code page, or more
// than a name record's length.
std::string UnstorableNameText(const std::string& name) {
    TextCodec codec;
    std::string stored;
    if (!codec.Encode(name, stored))
        return "Имя " + Quoted(name) + " содержит символы, которые нельзя сохранить в файле модели." +
               kTryAgain;
    if (stored.size() > kLongestStoredName)
        return std::string("Имя объекта не должно быть длиннее 255 символов.") + kTryAgain;
    return {};
}

CQSObject* AddOfKind(CQueuingSystem& model, uint8_t kind, const std::string& name) {
    switch (kind) {
        case kGenerator:
            return model.AddGenerator(name);
        case kQueue:
            return model.AddQueue(name);
        case kChannel:
            return model.AddChannel(name);
        case kSink:
            return model.AddSink(name);
        default:
            return nullptr;
    }
}

int GeneratorCount(const CQueuingSystem& model) {
    int count = 0;
    for (const auto& node : model.nodes)
        count += node->kind == kGenerator;
    return count;
}

bool ValidNode(const CQueuingSystem& model, uint8_t node) {
    return node < model.nodeCount();
}

}  // namespace

Refusal NodeRoom(const CQueuingSystem& model) {
    if (model.nodeCount() < ObjectLimit)
        return {};
    return Warning(
        "Невозможно добавить новый объект.\nМодель содержит максимально возможное количество "
        "объектов (" +
        std::to_string(ObjectLimit) + ").");
}

Refusal TypeRoom(const CQueuingSystem& model) {
    if (model.typeCount() < RequestTypeLimit)
        return {};
    return Warning(
        "Невозможно добавить новый тип заявки.\nМодель содержит максимально возможное "
        "количество типов заявок (" +
        std::to_string(RequestTypeLimit) + ").");
}

CommandResult AddNode(CQueuingSystem& model, uint8_t kind, const std::string& name) {
    if (Refusal full = NodeRoom(model))
        return Refused(std::move(full));
    CQSObject* node = AddOfKind(model, kind, name);
    if (!node)
        return {};
    node->x = kAddedNodeX;
    node->y = kAddedNodeY;
    return {true, {}, static_cast<uint8_t>(model.nodeCount() - 1)};
}

CommandResult AddRequestType(CQueuingSystem& model, const std::string& name) {
    if (Refusal full = TypeRoom(model))
        return Refused(std::move(full));
    if (!model.AddRequestType(name))
        return {};
    return {true, {}, kNoIndex};
}

CommandResult PlaceNode(CQueuingSystem& model, uint8_t kind, int32_t x, int32_t y,
                        int32_t nodeSize) {
    if (Refusal full = NodeRoom(model))
        return Refused(std::move(full));
    CQSObject* node = AddOfKind(model, kind, model.DefaultNodeName(kind));
    if (!node)
        return {};
    const int32_t half = nodeSize / 2;
    node->x = x < half + 1 ? 1 : x - half;
    node->y = y < half + 1 ? 1 : y - half;
    return {true, {}, static_cast<uint8_t>(model.nodeCount() - 1)};
}

CommandResult DeleteNode(CQueuingSystem& model, uint8_t node, const Confirm& confirm) {
    if (!ValidNode(model, node))
        return {};
    const CQSObject* n = model.Node(node);
    const std::string name = n->name;  // the node and its name go together
    if (n->kind == kGenerator && GeneratorCount(model) == 1)
        return Refused(Warning("Генератор заявок " + Quoted(name) +
                               " является единственным,\nпоэтому не может быть удален."));
    if (n->kind == kSink && model.refusalSink && model.refusalSink->name == name)
        return Refused(Warning("Сток " + Quoted(name) +
                               " является стоком отказов,\nпоэтому не может быть удален."));
    if (!confirm("Вы действительно хотите удалить объект " + Quoted(name) + "?"))
        return {};
    return {model.DeleteNode(name) == kOk, {}, kNoIndex};
}

CommandResult DeleteRequestType(CQueuingSystem& model, const std::string& name,
                                const Confirm& confirm) {
    if (model.typeCount() == 1)
        return Refused(Warning("Тип заявок " + Quoted(name) +
                               " является единственным,\nпоэтому не может быть удален."));
    if (!confirm("Вы действительно хотите удалить тип заявок " + Quoted(name) + "?"))
        return {};
    return {model.DeleteRequestType(name) == kOk, {}, kNoIndex};
}

std::string NameDialogRefusal(const std::string& name, bool requestTypeMode,
                              const CQueuingSystem* model) {
    if (IsBlank(name))
        return EmptyNameText();
    if (std::string unstorable = UnstorableNameText(name); !unstorable.empty())
        return unstorable;
    if (!model)
        return {};
    if (requestTypeMode) {
        if (model->FindRequestType(name))
            return "Тип заявки с именем " + Quoted(name) + " уже существует." +
                   std::string(19, ' ') + kTryAgain;
    } else if (model->FindNode(name)) {
        return "Объект с именем " + Quoted(name) + " уже существует." + std::string(20, ' ') +
               kTryAgain;
    }
    return {};
}

std::string RenameRefusal(const CQueuingSystem& model, const std::string& current,
                          const std::string& name, bool requestTypeMode) {
    if (current == name)
        return {};
    if (IsBlank(name))
        return EmptyNameText();
    if (requestTypeMode ? model.FindRequestType(name) != nullptr : model.FindNode(name) != nullptr)
        return (requestTypeMode ? "Тип заявки с именем " : "Объект с именем ") + Quoted(name) +
               " уже существует.";
    return UnstorableNameText(name);
}

namespace {

CommandResult Rename(const CQueuingSystem& model, std::string& current, const std::string& name,
                     bool requestTypeMode, uint8_t node) {
    if (current == name)
        return {};
    if (std::string why = RenameRefusal(model, current, name, requestTypeMode); !why.empty())
        return Refused(Warning(std::move(why)));
    current = name;
    return {true, {}, node};
}

}  // namespace

CommandResult RenameNode(CQueuingSystem& model, uint8_t node, const std::string& name) {
    if (!ValidNode(model, node))
        return {};
    return Rename(model, model.Node(node)->name, name, false, node);
}

CommandResult RenameRequestType(CQueuingSystem& model, uint8_t type, const std::string& name) {
    if (type >= model.typeCount())
        return {};
    return Rename(model, model.RequestType(type)->name, name, true, kNoIndex);
}

LinkStep LinkModePress(CQueuingSystem& model, uint8_t linkSource, uint8_t pressed) {
    static const std::string kSinkAsSource =
        "Сток не может быть выбран в качестве источника заявок.";
    if (!ValidNode(model, pressed))
        return {linkSource, false, {}};
    if (linkSource == kNoIndex) {
        if (model.Node(pressed)->kind == kSink)
            return {kNoIndex, false, {RefusalBox::kNotice, kSinkAsSource}};
        return {pressed, false, {}};
    }
    if (linkSource == pressed)
        return {linkSource, false, {}};
    switch (model.Link(linkSource, pressed)) {
        case kOk:
            return {kNoIndex, true, {}};
        case kLinkFromSink:
            return {kNoIndex, false, {RefusalBox::kNoticeWarning, kSinkAsSource}};
        case kLinkToGenerator:
            return {kNoIndex,
                    false,
                    {RefusalBox::kNotice,
                     "Генератор не может быть выбран в качестве приемника заявок."}};
        case kLinkExists:
            return {linkSource, false, {}};
        case kLinkQueueToQueue:
            return {kNoIndex,
                    false,
                    {RefusalBox::kNotice,
                     "Накопитель не может быть выбран \nв качестве источника заявок для другого "
                     "накопителя \n(между двумя накопителями нельзя установить связь)."}};
        default:
            return {linkSource, false, {RefusalBox::kNoticeWarning, "Объект не найден."}};
    }
}

CommandResult Unlink(CQueuingSystem& model, uint8_t source, uint8_t receiver) {
    if (!ValidNode(model, source) || !ValidNode(model, receiver))
        return {};
    return {model.Unlink(source, receiver) == kOk, {}, kNoIndex};
}

CommandResult MoveNode(CQueuingSystem& model, uint8_t node, int32_t x, int32_t y) {
    if (!ValidNode(model, node))
        return {};
    CQSObject* n = model.Node(node);
    n->x = x;
    n->y = y;
    return {true, {}, node};
}

CommandResult SetRefusalSink(CQueuingSystem& model, const std::string& name) {
    return {model.SetRefusalSink(name) == kOk, {}, kNoIndex};
}

}  // namespace edit
}  // namespace marvolt
