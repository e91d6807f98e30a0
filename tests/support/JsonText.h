#pragma once
// A JSON text read in a test: a text that does not parse fails the test and
// shows itself.

#include <gtest/gtest.h>

#include <json/json.h>

#include <memory>
#include <string>

inline Json::Value ParseJsonText(const std::string& text)
{
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors << text;
    return root;
}
