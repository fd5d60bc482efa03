:for i %i 01 03
:for j %j 5 1 2
:echo "pass %i %j"
set_band_w %i  # width
:next j
:next i
load_i1_files "/no/such dir/a_%i.tif" \
  more
:rem_start
x
:rem_end
:end
quit
