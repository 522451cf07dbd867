#include "chartwin/data_file_stream.h"

#include <system_error>

namespace nivora {

DataFileStream::DataFileStream(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return;
    in_.open(file, std::ios::binary);
    open_ = in_.is_open();
}

bool DataFileStream::next(std::string& line)
{
    if (!open_ || !std::getline(in_, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (first_) {
        first_ = false;
        if (line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
    }
    return true;
}

std::filesystem::path dataFileLocation(const std::filesystem::path& folder, const std::string& typed)
{
    return folder / typed;
}

bool dataFileReadable(const std::filesystem::path& file)
{
    return DataFileStream(file).isOpen();
}

} // namespace nivora
