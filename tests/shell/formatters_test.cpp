// The value-to-text formatters, called directly.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "shell/formatters.h"

using namespace kelvoran;

TEST(Formatters, Texts) {
    struct Case {
        Formatter format;
        float value;
        const char* text;
    } cases[] = {
        {formatDecibels, 1.0f, "0 db"},         {formatDecibels, 0.0f, "-inf."},
        {formatDecibels, -2.0f, "-inf."},       {formatDecibels, 0.5f, "-6.0db"},
        {formatDecibels, 1.58489f, "4.0db"},    {formatWidth, 0.5f, "OFF"},
        {formatWidth, 0.004f, "mono"},          {formatWidth, 0.0045f, "mono"},
        {formatWidth, 0.25f, "0.50"},           {formatWidth, 1.0f, "2.00"},
        {formatPercentRounded, 0.125f, "13%"},  {formatPercentTruncated, 0.125f, "12%"},
        {formatPercentRounded, -0.004f, "0%"},  {formatPercentHundredths, 0.125f, "12.50%"},
        {formatInteger, 2.9f, "2"},             {formatInteger, -2.9f, "-2"},
        {formatMilliseconds, -499.7f, "-499ms"}, {formatMetres, 12.0f, "12.00m"},
    };
    for (const Case& c : cases) {
        char text[kFormatSize];
        c.format(c.value, text);
        EXPECT_EQ(std::string(text), c.text) << c.value;
    }
}

TEST(Formatters, AnyValueStaysInsideTheBuffer) {
    Formatter all[] = {formatInteger, formatPercentRounded, formatPercentTruncated, formatPercentHundredths,
                       formatWidth, formatDecibels, formatMilliseconds, formatMetres};
    for (Formatter f : all)
        for (float v : {NAN, INFINITY, -INFINITY, 3.4e38f, -3.4e38f, 1e-45f}) {
            char text[kFormatSize + 8];
            std::fill(text, text + sizeof text, 'x');
            f(v, text);
            EXPECT_LT(std::string(text, kFormatSize).find('\0'), kFormatSize);
            EXPECT_EQ(std::string(text + kFormatSize, 8), std::string(8, 'x'));
        }
}
