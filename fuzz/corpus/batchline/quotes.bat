select_region 1 2 "3 4" 5"
set_band_h "unterminated
