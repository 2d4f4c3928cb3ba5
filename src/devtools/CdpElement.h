#pragma once

#include "HtmlElement.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

class CdpContext;

// An element, or a group of same-named elements, held in the page as one remote array. A member taken
// with Item() shares the array and remembers its position.
class CdpElement final : public HtmlElement
{
public:
    // index < 0: the whole array (an element when it has one member, a collection otherwise).
    CdpElement(std::shared_ptr<CdpContext> context, std::string arrayObjectId, int length, int index = -1);

    int Length() const override;
    std::shared_ptr<HtmlElement> Item(int index) override;
    bool SetValue(const QString& text) override;
    bool SetValue(double number) override;
    std::optional<QString> Value() override;
    std::optional<QString> Type() override;
    bool SetSelectedIndex(int index) override;
    std::optional<int> SelectedIndex() override;
    bool SetChecked(bool checked) override;
    std::optional<bool> Checked() override;
    bool Click() override;
    bool FireOnChange() override;
    std::optional<QString> TagName() override;
    std::optional<QString> Name() override;
    std::optional<qint64> UniqueId() override;
    std::optional<bool> OptionSelected(int index) override;
    bool SetOptionSelected(int index, bool selected) override;
    bool FireOnChangeWithoutArgument() override;

private:
    int Target() const; // position of the element we act on; -1 for a collection
    bool Run(const char* function, const nlohmann::json& value = nullptr);
    std::optional<nlohmann::json> Read(const char* function, const nlohmann::json& value = nullptr);
    std::optional<QString> ReadText(const char* function);

    std::shared_ptr<CdpContext> mContext;
    std::string mArrayId;
    int mLength;
    int mIndex;
};
