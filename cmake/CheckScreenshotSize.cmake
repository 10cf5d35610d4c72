# Checks that the AppStream file declares the size the screenshot really has
# (software centres lay out the picture from it). Run with
#   cmake -DMETAINFO=<file.metainfo.xml> -DIMAGE=<screenshot.png> -P CheckScreenshotSize.cmake

# A PNG's width and height are the big-endian words at bytes 16 and 20.
file(READ "${IMAGE}" header HEX OFFSET 16 LIMIT 8)
string(SUBSTRING "${header}" 0 8 width_hex)
string(SUBSTRING "${header}" 8 8 height_hex)
math(EXPR width "0x${width_hex}")
math(EXPR height "0x${height_hex}")

file(READ "${METAINFO}" metainfo)
if(NOT metainfo MATCHES "<image type=\"source\" width=\"([0-9]+)\" height=\"([0-9]+)\"")
  message(FATAL_ERROR "${METAINFO}: no source image with a width and a height")
endif()
if(NOT CMAKE_MATCH_1 EQUAL width OR NOT CMAKE_MATCH_2 EQUAL height)
  message(FATAL_ERROR "${METAINFO} declares ${CMAKE_MATCH_1}x${CMAKE_MATCH_2}, "
                      "but ${IMAGE} is ${width}x${height}")
endif()
