#include "services/CatalogueWorkers.h"

#include "services/SessionData.h"
#include "services/TextConvert.h"
#include "services/WriteLogFile.h"

void CategoryListDelete::operator()(CategoryList* list) const
{
    for (CategoryInfo* record : *list)
        delete record;
    delete list;
}

namespace {
// A null element reads as an object without members; anything else that is no
// object makes the member reads throw.
CategoryInfo ReadCategory(const Json::Value& element)
{
    CategoryInfo record;
    record.category_id = Utf8ToWide(JsonMemberText(element, "category_id"));
    record.name = Utf8ToWide(JsonMemberText(element, "name"));
    record.server = Utf8ToWide(JsonMemberText(element, "server"));
    record.icon = JsonMemberText(element, "icon");
    record.big_icon = JsonMemberText(element, "big_icon");
    record.slide_url = JsonMemberText(element, "slide_url");
    record.slide_target_url = JsonMemberText(element, "slide_target_url");
    record.logo = JsonMemberText(element, "logo");
    record.bg_img = JsonMemberText(element, "bg_img");
    return record;
}

CatalogueOutcome Unreadable(const std::string& body, const wchar_t* failureText)
{
    WRITE_LOG(Utf8ToWide(body).c_str());
    CatalogueOutcome outcome;
    outcome.message = failureText;
    return outcome;
}

CatalogueOutcome Refused(const ServiceAnswer& answer)
{
    CatalogueOutcome outcome;
    outcome.kind = CatalogueOutcome::Kind::kRefused;
    outcome.message = Utf8ToWide(answer.message);
    outcome.code = answer.code;
    return outcome;
}

CatalogueOutcome Succeeded(std::string listText)
{
    CatalogueOutcome outcome;
    outcome.kind = CatalogueOutcome::Kind::kSuccess;
    outcome.listText = std::move(listText);
    return outcome;
}

CatalogueOutcome Answered(const ServiceAnswer& answer, const wchar_t* failureText)
{
    if (answer.Failed())
        return Refused(answer);
    if (!answer.Succeeded())
        return Unreadable(answer.body, failureText);
    return Succeeded(answer.result);
}
}  // namespace

CategoryListPtr ParseCategoryList(const std::string& listText)
{
    Json::Value root;
    if (!ParseJsonText(listText, root))
        return nullptr;
    CategoryListPtr list(new CategoryList);
    if (!root.isArray() && !root.isObject())
        return list;
    for (const Json::Value& element : root)
        list->push_back(new CategoryInfo(ReadCategory(element)));
    return list;
}

CatalogueOutcome RequestListText(const char* path, const RequestParams& params, const wchar_t* failureText)
{
    return Answered(CallService(path, params, RetryLog::kWrite, ResultData::kDecipher), failureText);
}

CatalogueOutcome RequestCategories(const char* path, const RequestParams& params, const wchar_t* failureText)
{
    const ServiceAnswer answer = CallService(path, params, RetryLog::kWrite, ResultData::kDecipher);
    CatalogueOutcome outcome = Answered(answer, failureText);
    if (outcome.kind != CatalogueOutcome::Kind::kSuccess)
        return outcome;
    try {
        outcome.categories = ParseCategoryList(outcome.listText);
    } catch (...) {
        return Unreadable(answer.body, failureText);
    }
    if (!outcome.categories)
        outcome.kind = CatalogueOutcome::Kind::kSilent;
    return outcome;
}

CatalogueOutcome RequestAddOwnCategory(const std::wstring& categoryId, const wchar_t* failureText)
{
    const RequestParams params = {TextParam("category_id", categoryId), TextParam("token", g_sessionData.GetToken()),
                                  TimestampParam()};
    return Answered(CallService("/Box/Game/addOwnerGamesCategory", params, RetryLog::kWrite, ResultData::kIgnore),
                    failureText);
}
