; ks0108_pic16.asm - shows one 128 x 64 picture on a KS0108 graphic LCD.
;
; Target : PIC16F877A (any mid-range PIC with two free 8-bit ports will do)
; Clock  : 20 MHz crystal (HS); the LCD timing below counts on 200 ns per
;          instruction, so a slower clock is safe, a faster one is not.
; Build  : gpasm ks0108_pic16.asm        (gputils)
;
; The picture is the Dt listing written by Lumetra ("lumetra-cli listing
; PICTURE -o picture.inc", or the editor's code view saved as picture.inc),
; kept next to this file and included unchanged. Each Dt byte becomes one
; RETLW instruction, so the table costs 1024 program words.
;
; Use Dt, not Db, on this PIC: a program word here has 14 bits, and Db packs
; two bytes into one word, which loses bits 6 and 7 of the first byte.
; (Define TABLE_DB to read a Db listing anyway and see the damage.)
;
; The module has two controllers ("crystals" in the listing), each driving
; one 64 x 64 half; chip 1 drives the left half. Each controller's memory is
; 8 pages of 64 columns; one byte is a column of 8 pixels, bit 0 at the top.
;
; The listing gives the picture a page of one controller (64 bytes) at a
; time. By default it is grouped by controller: 8 pages of chip 1, then 8
; pages of chip 2. A listing written with --no-group alternates instead:
; page 1 of chip 1, page 1 of chip 2, page 2 of chip 1, ... Define
; LISTING_NO_GROUP for such a listing (uncomment the line below, or build
; with "gpasm -D LISTING_NO_GROUP ks0108_pic16.asm").

;#define LISTING_NO_GROUP
;#define CS_ACTIVE_LOW          ; for modules whose chip selects are /CS1 /CS2
;#define TABLE_DB               ; read a Db listing (loses bits, see above)

        processor 16f877a
        #include <p16f877a.inc>
        __config _HS_OSC & _WDT_OFF & _PWRTE_ON & _BOREN_OFF & _LVP_OFF & _CP_OFF
        radix   dec
        errorlevel -302         ; "register not in bank 0": banks are selected

; ---- Wiring ----------------------------------------------------------------
; The LCD's data lines DB0..DB7 go to one whole port, its control lines to
; pins of another. The driver only writes: R/W stays low (tie R/W to ground
; if you need the pin), and it waits a fixed time instead of reading the busy
; flag. It writes the control port as a whole byte; pins 6 and 7 stay low.

DATA_PORT       equ     PORTD           ; DB0..DB7 on RD0..RD7
DATA_TRIS       equ     TRISD
CTRL_PORT       equ     PORTB
CTRL_TRIS       equ     TRISB
CS1             equ     0               ; RB0: chip select, left half
CS2             equ     1               ; RB1: chip select, right half
RS              equ     2               ; RB2: RS (D/I): 1 = data, 0 = command
RW              equ     3               ; RB3: R/W: 1 = read, held at 0
EN              equ     4               ; RB4: E: the LCD takes a byte as E falls
RST             equ     5               ; RB5: /RST: 0 resets both controllers

#ifdef CS_ACTIVE_LOW
LEFT_CHIP       equ     1 << CS2        ; CS1 low, CS2 high
RIGHT_CHIP      equ     1 << CS1
BOTH_CHIPS      equ     0
#else
LEFT_CHIP       equ     1 << CS1
RIGHT_CHIP      equ     1 << CS2
BOTH_CHIPS      equ     (1 << CS1) | (1 << CS2)
#endif

; ---- Controller commands ---------------------------------------------------
LCD_ON          equ     0x3F            ; display on
START_LINE      equ     0xC0            ; + line shown at the top (0..63)
SET_PAGE        equ     0xB8            ; + page (0..7)
SET_COLUMN      equ     0x40            ; + column (0..63); counts up by itself

; ---- Variables, in the RAM all banks share ---------------------------------
        cblock  0x70
        chips                           ; control bits: chip select(s)
        run                             ; 0..15: which 64-byte run of the table
        count                           ; bytes left in this run
        ptr_lo, ptr_hi                  ; table index, 0..1023
        temp
        delay1, delay2
        endc

; ---- Program ---------------------------------------------------------------
        org     0
        goto    start                   ; reset vector; no interrupts used

start:
        banksel CTRL_TRIS
        clrf    CTRL_TRIS               ; both ports are outputs
        clrf    DATA_TRIS
        banksel CTRL_PORT
        clrf    DATA_PORT
        clrf    CTRL_PORT               ; /RST low: reset the controllers
        call    wait_1ms
        movlw   1 << RST
        movwf   CTRL_PORT               ; /RST high, E low
        call    wait_1ms                ; the controllers are busy after reset

        movlw   BOTH_CHIPS              ; the same set-up for both halves
        movwf   chips
        movlw   LCD_ON
        call    lcd_command
        movlw   START_LINE
        call    lcd_command

        clrf    ptr_lo
        clrf    ptr_hi
        clrf    run
next_run:                               ; one page of one controller
#ifdef LISTING_NO_GROUP
        movlw   LEFT_CHIP               ; run = 2 * page + chip
        btfsc   run, 0
        movlw   RIGHT_CHIP
        movwf   chips
        bcf     STATUS, C
        rrf     run, W                  ; W = run / 2 = page
#else
        movlw   LEFT_CHIP               ; run = 8 * chip + page
        btfsc   run, 3
        movlw   RIGHT_CHIP
        movwf   chips
        movf    run, W
        andlw   7                       ; W = page
#endif
        iorlw   SET_PAGE
        call    lcd_command
        movlw   SET_COLUMN + 0          ; start at the left edge of the half
        call    lcd_command

        movlw   64
        movwf   count
next_byte:
        call    table_byte              ; W = byte ptr of the listing
        call    lcd_data                ; the column moves on by itself
        incf    ptr_lo, F
        btfsc   STATUS, Z
        incf    ptr_hi, F
        decfsz  count, F
        goto    next_byte

        incf    run, F
        btfss   run, 4                  ; 16 runs of 64 bytes
        goto    next_run

done:
        goto    done                    ; the picture stays on the LCD

; ---- LCD -------------------------------------------------------------------
; lcd_command: sends W as a command to the chip(s) in chips.
; lcd_data:    writes W into display memory of the chip(s) in chips.
lcd_command:
        movwf   DATA_PORT
        movf    chips, W                ; RS = 0
        goto    lcd_strobe
lcd_data:
        movwf   DATA_PORT
        movf    chips, W
        iorlw   1 << RS                 ; RS = 1
lcd_strobe:
        iorlw   1 << RST
        movwf   CTRL_PORT               ; RS, R/W and chip selects settle
        iorlw   1 << EN
        movwf   CTRL_PORT               ; E high ...
        nop
        xorlw   1 << EN
        movwf   CTRL_PORT               ; ... 600 ns; the LCD takes the byte now
        ; The controller is busy for a few microseconds after each byte:
        ; wait about 10 us (16 * 3 cycles of 200 ns).
        movlw   16
        movwf   delay1
lcd_wait:
        decfsz  delay1, F
        goto    lcd_wait
        return

wait_1ms:                               ; 1 ms at 20 MHz
        movlw   7
        movwf   delay2
        clrf    delay1
wait_loop:
        decfsz  delay1, F               ; 256 * 3 cycles
        goto    wait_loop
        decfsz  delay2, F
        goto    wait_loop
        return

; ---- The picture -----------------------------------------------------------
#ifndef TABLE_DB
; table_byte: W = entry ptr_hi:ptr_lo of the table of RETLWs.
; The table crosses 256-word pages, so the jump computes the full address
; and puts its high part into PCLATH before writing PCL.
table_byte:
        movlw   low picture
        addwf   ptr_lo, W
        movwf   temp                    ; low byte of the entry's address
        movlw   high picture
        btfsc   STATUS, C               ; carry from the low byte
        addlw   1
        addwf   ptr_hi, W
        movwf   PCLATH
        movf    temp, W
        movwf   PCL                     ; the RETLW returns to our caller

picture:
        #include "picture.inc"
picture_end:

        if picture_end - picture != 1024
        error "picture.inc must be a Dt listing of 1024 bytes"
        endif
#else
; table_byte for a Db listing: reads program word picture + ptr / 2 and
; takes its high part for an even ptr, its low byte for an odd one. The high
; part has only 6 bits: bits 6 and 7 of that byte were lost when assembling.
table_byte:
        bcf     STATUS, C
        rrf     ptr_hi, W               ; W = ptr_hi / 2, C = its bit 0
        movwf   temp
        rrf     ptr_lo, W               ; W = low byte of ptr / 2, C = odd
        banksel EEADR
        addlw   low picture
        movwf   EEADR
        movf    temp, W
        btfsc   STATUS, C               ; carry of the addition above
        addlw   1
        addlw   high picture
        movwf   EEADRH
        banksel EECON1
        bsf     EECON1, EEPGD           ; read program memory, not EEPROM
        bsf     EECON1, RD
        nop
        nop
        banksel EEDATA
        movf    EEDATA, W               ; odd ptr: the low byte
        btfss   ptr_lo, 0
        movf    EEDATH, W               ; even ptr: the high 6 bits
        banksel PORTB
        return

picture:
        #include "picture.inc"
picture_end:

        if picture_end - picture != 512
        error "picture.inc must be a Db listing of 1024 bytes"
        endif
#endif
        ; After a table read PCLATH holds the table's page; the GOTOs and
        ; CALLs above stay right only while the table ends below 0x800.
        if picture_end > 0x800
        error "the picture table must end below program address 0x800"
        endif

        end
