// Reads the tab-separated data files of these tests: rows of fields, '#' lines skipped.
#ifndef GIBO_TESTS_FACTS_TSV_H
#define GIBO_TESTS_FACTS_TSV_H

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::vector<std::string>> ReadTsv(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) {
            fields.push_back(field);
        }
        rows.push_back(fields);
    }
    return rows;
}

#endif  // GIBO_TESTS_FACTS_TSV_H
